#include "main/run_zevo.h"
#include "model/messages.h"

int main(int argc, char** argv) {
  try {
    return zevo::run_zevo(argc, argv);
  } catch (const zevo::RunEnded& ended) {
    return ended.status;
  }
}
