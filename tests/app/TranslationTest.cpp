#include "body/Body.h"
#include "ui_Body.h"

#include <QApplication>
#include <QTranslator>

#include <gtest/gtest.h>

// The embedded Japanese translation reaches the main window's captions, both
// on a freshly built window and through retranslateUi, while the program's
// own name stays as it is; without the translator the captions are English.
TEST(Translation, JapaneseCaptionsOnTheMainWindow)
{
  {
    Body english;
    EXPECT_EQ(english.form()->SelectI1Files->text(), "I1 Data");
    EXPECT_EQ(english.form()->Transmission->text(), "Transmission");
  }

  QTranslator translator;
  ASSERT_TRUE(
    translator.load(QStringLiteral(":Lumacresta_ja_JP"), QApplication::applicationDirPath()));
  ASSERT_TRUE(QApplication::installTranslator(&translator));
  {
    Body japanese;
    EXPECT_EQ(japanese.form()->SelectI1Files->text(), QString::fromUtf8("I1 データ"));
    EXPECT_EQ(japanese.form()->Transmission->text(), QString::fromUtf8("透過"));
    EXPECT_EQ(japanese.windowTitle(), "Lumacresta");

    QApplication::removeTranslator(&translator);
    japanese.form()->retranslateUi(&japanese);
    EXPECT_EQ(japanese.form()->SelectI1Files->text(), "I1 Data");
  }
}
