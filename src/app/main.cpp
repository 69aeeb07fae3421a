#include "app/LeakSuppressions.h"
#include "app/Startup.h"

int main(int argc, char** argv)
{
  return runLumacresta(argc, argv);
}
