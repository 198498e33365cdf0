#include "QvGen4Tick.h"

#include <chrono>
#include <thread>

std::uint32_t TQvGen4SystemTicks::GetTickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

void TQvGen4SystemTicks::Sleep(std::uint32_t Ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}
