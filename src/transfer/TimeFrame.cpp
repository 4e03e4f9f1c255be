#include "TimeFrame.h"

#include <ctime>

namespace qta::transfer {
namespace {

void appendTwoDigits(std::string& out, int value) {
    const int twoDigits = ((value % 100) + 100) % 100;
    out += static_cast<char>('0' + twoDigits / 10);
    out += static_cast<char>('0' + twoDigits % 10);
}

} // namespace

DateTime localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

Frame TimeFrame(const DateTime& now) {
    std::string digits;
    for (const int value : {now.year, now.month, now.day, now.hour, now.minute})
        appendTwoDigits(digits, value);
    return Frame::make(kTimeFrameAddress, digits);
}

} // namespace qta::transfer
