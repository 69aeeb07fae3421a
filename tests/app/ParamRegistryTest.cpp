#include "app/ParamRegistry.h"
#include "app/Settings.h"

#include "support/MessageCapture.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace {

QString writeConfig(const QString& dir, const QString& name, const QByteArray& text)
{
  return lctest::writeFile(lctest::scratchDir(dir) + "/" + name, text);
}

Settings freshSettings()
{
  Settings s;
  s.DataRoot = "home";
  s.BatchRoot = "home";
  return s;
}

} // namespace

TEST(CommandLine, PrecedenceOverConfiguration)
{
  const QString a = writeConfig("CommandLineA", "a.cfg", "DataRoot A\n");
  const QString b = writeConfig("CommandLineB",
                                "b.cfg",
                                "# only a comment\n"
                                "   \n"
                                "DataRoot \"D:/My Data\" # where the data is\n"
                                "DataRoot E:/second\n"
                                "BatchRoot 'x#y'\n"
                                "ShowAnalyzer2Button 1\n"
                                "Mistyped 3\n");
  ParamRegistry reg;
  Settings s = freshSettings();
  lctest::MessageCapture cap;
  const StartupOptions opt =
    prepareStartup(reg, { "prog", "-c", a, "-config", b, "-showA2B", "-b", "run.bat", "-x" }, s);
  EXPECT_EQ(opt.configFile, b);        // -config wins over -c
  EXPECT_EQ(s.DataRoot, "D:/My Data"); // first of a duplicated key wins
  EXPECT_EQ(s.BatchRoot, "'x#y'");     // '#' inside quotes is no comment
  EXPECT_FALSE(s.ShowAnalyzer2Button); // -showA2B without value hides
  EXPECT_EQ(opt.batchFile, "run.bat");
  EXPECT_TRUE(opt.execBatch);
  EXPECT_TRUE(opt.loadTranslation);
  // Comment-only and blank lines add nothing.
  int configEntries = 0;
  for (const auto& e : reg.entries())
    configEntries += e.key.startsWith('-') ? 0 : 1;
  EXPECT_EQ(configEntries, 5);
  EXPECT_TRUE(cap.has("Unused setting : Mistyped"));
  EXPECT_TRUE(cap.has("Unused setting : DataRoot")); // the duplicate that lost
}

TEST(CommandLine, OptionsWinOverConfigurationKeys)
{
  const QString cfg =
    writeConfig("OptionWins", "c.cfg", "DataRoot fromFile\nShowAnalyzer2Button 1\n");
  ParamRegistry reg;
  Settings s = freshSettings();
  const StartupOptions opt = prepareStartup(
    reg, { "prog", "stray", "-c", cfg, "-d", "fromOption", "more", "-br", "B", "-e" }, s);
  EXPECT_FALSE(reg.contains("stray")); // words before the first option are no key
  EXPECT_EQ(s.DataRoot, "fromOption");
  EXPECT_EQ(s.BatchRoot, "B");
  EXPECT_TRUE(s.ShowAnalyzer2Button);
  EXPECT_FALSE(opt.loadTranslation);
  EXPECT_TRUE(opt.batchFile.isEmpty());

  // A non-numeric value turns the button off.
  const QString yes = writeConfig("ShowA2B", "c.cfg", "ShowAnalyzer2Button yes\n");
  ParamRegistry reg2;
  prepareStartup(reg2, { "prog", "-c", yes }, s);
  EXPECT_FALSE(s.ShowAnalyzer2Button);

  // A missing file keeps the defaults.
  ParamRegistry reg3;
  Settings fresh = freshSettings();
  lctest::MessageCapture cap;
  prepareStartup(reg3, { "prog", "-c", "/nonexistent/none.cfg" }, fresh);
  EXPECT_TRUE(cap.has("Can't open config file : /nonexistent/none.cfg"));
  EXPECT_EQ(fresh.DataRoot, "home");

  // A thread count that is no whole number says what is used instead.
  const QString threads = writeConfig("Threads", "c.cfg", "Threads abc\n");
  ParamRegistry reg4;
  cap.clear();
  fresh.Threads = 3;
  prepareStartup(reg4, { "prog", "-c", threads }, fresh);
  EXPECT_EQ(fresh.Threads, 0);
  EXPECT_TRUE(
    cap.has("Threads : abc is not a whole number of threads (0: all cores); all cores are used"));
  EXPECT_FALSE(cap.contains("Unused setting"));
}

// The environment wins over the configuration's Threads; anything but a
// positive number there leaves the configured count, and says so.
TEST(Configuration, ThreadsFromEnvironmentWinOverTheFile)
{
  const struct
  {
    const char* env;
    int configured;
    int expected;
    QString line;
  } cases[] = {
    { "", 3, 3, "" },
    { "2", 3, 2, "" },
    { " 4 ", 0, 4, "" },
    { "0", 3, 3, "LUMACRESTA_THREADS=0 is not a positive whole number; 3 threads are used" },
    { "-1", 3, 3, "LUMACRESTA_THREADS=-1 is not a positive whole number; 3 threads are used" },
    { "x", 5, 5, "LUMACRESTA_THREADS=x is not a positive whole number; 5 threads are used" },
    { "abc", 0, 0, "LUMACRESTA_THREADS=abc is not a positive whole number; all cores are used" },
    { "100000", 0, 256, "" },
  };
  for (const auto& c : cases) {
    lctest::MessageCapture log;
    EXPECT_EQ(threadsFromEnvironment(c.env, c.configured), c.expected) << c.env;
    EXPECT_EQ(log.messages().join('|'), c.line) << c.env;
  }
}
