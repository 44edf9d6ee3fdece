// quelp-cli: the headless decoder.
#include <cstdio>

int main() {
    std::puts("quelp-cli: nothing to decode yet");
    return 0;
}
