// Program entry of osvo.
#include "driver/Driver.h"

int main(int argc, char** argv) {
  return osvoMain(argc, argv);
}
