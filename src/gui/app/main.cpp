#include "app/LeakSuppressions.h"
#include "gui/app/Startup.h"

int main(int argc, char** argv)
{
  return runLumacresta(argc, argv);
}
