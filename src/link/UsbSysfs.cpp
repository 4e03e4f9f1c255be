#include "UsbSysfs.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace qta::link {

namespace fs = std::filesystem;

namespace {

struct KnownBridge {
    std::uint16_t vendorId;
    std::uint16_t productId;
    const char* description;
};

// The product strings these bridges leave the factory with.
constexpr KnownBridge kKnownBridges[] = {
    {0x0403, 0x6001, "FT232R USB UART"},
    {0x0403, 0x6015, "FT230X Basic UART"},
};

// The device release number by which an FT232R tells itself apart.
constexpr std::uint16_t kFt232rRelease = 0x0600;
constexpr int kChipFt232r = 5;
constexpr int kChipOther = 3;

// The first line of a sysfs attribute, without its line end.
std::optional<std::string> attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::optional<std::uint16_t> hexAttribute(const fs::path& file) {
    const auto text = attribute(file);
    std::uint16_t value = 0;
    if (!text || text->empty())
        return std::nullopt;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value, 16);
    if (error != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return value;
}

bool isWithin(const fs::path& path, const fs::path& root) {
    return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

// Up from the tty's device to the first directory that is a USB device (it
// holds the vendor and product ID), without leaving sysfs.
std::optional<fs::path> usbDeviceDirectory(const fs::path& root, const std::string& ttyName) {
    std::error_code error;
    const fs::path top = fs::canonical(root, error);
    if (error)
        return std::nullopt;
    fs::path dir = fs::canonical(top / "class" / "tty" / ttyName / "device", error);
    if (error)
        return std::nullopt;
    for (; isWithin(dir, top) && dir != top; dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", error) && fs::exists(dir / "idProduct", error))
            return dir;
    }
    return std::nullopt;
}

std::string knownDescription(std::uint16_t vendorId, std::uint16_t productId) {
    for (const KnownBridge& bridge : kKnownBridges) {
        if (bridge.vendorId == vendorId && bridge.productId == productId)
            return bridge.description;
    }
    return {};
}

} // namespace

std::optional<DeviceInfo> usbDeviceInfo(const std::string& sysfsRoot, const std::string& ttyName) {
    const auto dir = usbDeviceDirectory(sysfsRoot, ttyName);
    if (!dir)
        return std::nullopt;
    DeviceInfo info;
    info.vendorId = hexAttribute(*dir / "idVendor").value_or(0);
    info.productId = hexAttribute(*dir / "idProduct").value_or(0);
    info.serialNumber = attribute(*dir / "serial").value_or("");
    info.description = attribute(*dir / "product").value_or(knownDescription(info.vendorId, info.productId));
    info.chipType = hexAttribute(*dir / "bcdDevice") == kFt232rRelease ? kChipFt232r : kChipOther;
    return info;
}

std::vector<UsbTty> listUsbTtys(const std::string& sysfsRoot) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(sysfsRoot) / "class" / "tty", error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.starts_with("ttyUSB"))
            names.push_back(std::move(name));
    }
    // ttyUSB2 before ttyUSB10.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::vector<UsbTty> ttys;
    for (std::string& name : names) {
        if (auto info = usbDeviceInfo(sysfsRoot, name))
            ttys.push_back({std::move(name), std::move(*info)});
    }
    return ttys;
}

void lowerLatencyTimer(const std::string& sysfsRoot, const std::string& ttyName) {
    const fs::path file = fs::path(sysfsRoot) / "bus" / "usb-serial" / "devices" / ttyName / "latency_timer";
    std::error_code error;
    if (!fs::exists(file, error))
        return;
    std::ofstream out(file);
    if (out)
        out << "1";
}

} // namespace qta::link
