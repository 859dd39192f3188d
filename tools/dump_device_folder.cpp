#include <cstdio>

int main() {
    std::puts("quillet-dump: not built yet");
    return 1;
}
