#include <cstdio>

int main() {
  std::puts("Quillor: the order window is not built yet.");
  return 0;
}
