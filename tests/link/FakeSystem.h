#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace qta::link::test {

namespace fs = std::filesystem;

// A machine in a folder: sysfs shaped like the kernel's (a bridge's tty below its
// USB device below the root hub), a process table, udev's rule folders, programs.
class FakeSystem {
public:
    FakeSystem() {
        std::string pattern = (fs::temp_directory_path() / "qta-system-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    ~FakeSystem() { fs::remove_all(root_); }
    std::string root() const { return root_; }

    void plugIn(const std::string& tty, const std::string& usbPort, const char* product) const {
        const fs::path hub = root_ / "sys/devices/pci0000:00/0000:00:14.0/usb1";
        write(hub / "idVendor", "1d6b");
        write(hub / "idProduct", "0002");
        write(hub / usbPort / "idVendor", "0403");
        write(hub / usbPort / "idProduct", "6001");
        write(hub / usbPort / "product", product);
        const fs::path classEntry = hub / usbPort / (usbPort + ":1.0") / tty / "tty" / tty;
        fs::create_directories(classEntry);
        fs::create_symlink("../../../" + tty, classEntry / "device");
        fs::create_directories(root_ / "sys/class/tty");
        fs::create_symlink(classEntry, root_ / "sys/class/tty" / tty);
    }
    void unplug(const std::string& tty) const { fs::remove(root_ / "sys/class/tty" / tty); }
    void runProcess(int pid, const char* name) const {
        write(root_ / "proc" / std::to_string(pid) / "comm", name);
    }
    void install(const std::string& path) const { write(root_ / path, ""); }
    void mask(const std::string& rule) const {
        fs::create_directories((root_ / rule).parent_path());
        fs::create_symlink("/dev/null", root_ / rule);
    }

private:
    static void write(const fs::path& file, const char* text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << '\n';
    }
    fs::path root_;
};

} // namespace qta::link::test
