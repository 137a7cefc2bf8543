// The simulated USB interface library "KvUsbInt.dll".
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

// The USB interface library "KvUsbInt.dll".
class SimUsbLibrary final : public UsbLibrary {
public:
    explicit SimUsbLibrary(SimWindows& machine) : m_(machine) {}
    ~SimUsbLibrary() override {
        Guard lock(m_.mu_);
        ++m_.s_->usbFrees;
    }
    bool Has(std::string_view entryPoint) const override;
    int32_t OpenDeviceX(int32_t index) override;
    void CloseDevice(int32_t handle) override;
    int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes, int32_t count) override;
    int32_t GetPrinterInternalID(int32_t handle) override;

private:
    SimWindows& m_;
};

bool SimUsbLibrary::Has(std::string_view entryPoint) const {
    Guard lock(m_.mu_);
    static const char* const known[] = {"OpenDeviceX", "CloseDevice", "uWrite",
                                        "GetPrinterInternalID", "GetDescriptor"};
    bool exists = std::any_of(std::begin(known), std::end(known),
                              [&](const char* k) { return entryPoint == k; });
    auto it = m_.s_->usbMissing.find(std::string(entryPoint));
    return exists && !(it != m_.s_->usbMissing.end() && it->second);
}

int32_t SimUsbLibrary::OpenDeviceX(int32_t index) {
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    if (s.Enter("OpenDeviceX")) return s.usbNoDevice;
    if (index < 0 || index >= 8 || !s.usb[index].attached) return s.usbNoDevice;
    int32_t h = s.nextUsbHandle++;
    s.usbHandles[h] = index;
    return h;
}

void SimUsbLibrary::CloseDevice(int32_t handle) {
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    s.Enter("CloseDevice");
    s.usbCloses.push_back(handle);
    s.usbHandles.erase(handle);
}

int32_t SimUsbLibrary::uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                              int32_t count) {
    (void)reserved;
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    if (s.Enter("uWrite")) return 0;
    auto it = s.usbHandles.find(handle);
    if (it == s.usbHandles.end() || !s.usb[it->second].attached) return 0;
    if (s.usbWriteFails || count <= 0 || !bytes) return 0;
    sim::UsbWrite w{it->second, std::vector<uint8_t>(bytes, bytes + count)};
    s.usbWrites.push_back(w);
    // The set-ID command: ESC, the five code bytes, GS 'I' blank, the ID.
    if (count == 10 && bytes[0] == 0x1B && bytes[6] == 0x1D && bytes[7] == 0x49 &&
        bytes[8] == 0x20 &&
        (!s.usbCode || std::equal(s.usbCode->begin(), s.usbCode->end(), bytes + 1)))
        s.usb[it->second].id = bytes[9];
    return count;
}

int32_t SimUsbLibrary::GetPrinterInternalID(int32_t handle) {
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    if (s.Enter("GetPrinterInternalID")) return -1;
    auto it = s.usbHandles.find(handle);
    if (it == s.usbHandles.end() || !s.usb[it->second].attached || s.usbReadFails) return -1;
    return s.usb[it->second].id;
}

std::unique_ptr<UsbLibrary> SimUsb::LoadUsbLibrary(const std::string& name, uint32_t& error) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    error = s.Enter("LoadUsbLibrary", {name});
    if (error) return nullptr;
    if (!EqualsIgnoringCase(BaseName(name), "KvUsbInt.dll") || !s.usbPresent) {
        error = err::ModNotFound;
        return nullptr;
    }
    ++s.usbLoads;
    return std::make_unique<SimUsbLibrary>(m_);
}

}  // namespace plat
