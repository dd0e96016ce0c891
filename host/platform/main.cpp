// The quorvex executable's entry: everything happens in VxZorbelGame::Main.
#include "host/platform/game.h"

int main(int argc, const char* argv[]) {
  VxZorbelGame::Main(argc, argv);
  return 0;
}
