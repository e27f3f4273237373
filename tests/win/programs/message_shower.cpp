// Shows one launcher message box with the text and caption given as its two
// arguments, and ends once it is dismissed.
#include "probes/desktop_queries.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  ShowMessage(argv[1], argv[2]);
  return 0;
}
