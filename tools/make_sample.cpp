#include <cstdio>

int main() {
    std::puts("quillet-sample: not built yet");
    return 1;
}
