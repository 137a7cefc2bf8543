// The port page: the port the printer is attached to, the serial settings,
// and in Advanced setups the driver variant. The port list is built on
// arrival from the Windows version, the model's "%s.PORT" section, the setup
// type and the USB printer that answers at that moment.
#pragma once

#include <cstdint>
#include <string>

#include "setup/engine/Stages.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/WizardPage.h"

// The entries of the baud list, in their order; each shows its number.
inline constexpr int32_t kBaudRates[] = {110,  300,   1200,  2400,  4800,
                                         9600, 19200, 38400, 57600, 115200};
// The entry that shows a rate not in the list: 38400.
inline constexpr int kDefaultBaudEntry = 7;
// The baud list entry that shows a "BaudRate" value: any number not in the
// list, 0 (absent) included, shows kDefaultBaudEntry.
int BaudEntryIndex(int32_t baudRate);
// The serial monitor's ports, "VXCOM1:" to "VXCOM8:", offered on the NT family.
inline constexpr int kVxComPorts = 8;
std::string VxComPortName(int n);
// The name of a model's USB port `n` in the port list: "USB_<model>_<n>"
// (1 in Typical; 1 to 4 in Advanced).
std::string UsbPortName(const std::string& model, int n);

class PortPage final : public WizardPage {
public:
    PortPage(SetupState& state);

    void Initialize();
    // A selection change in one of the lists (1041..1045, 1049); `index` is
    // the entry now selected (-1: none).
    void SelectionChanged(int id, int index);
    bool UpdateData() override;

    // The host's "BaudRate" of the model: selects the entry that shows it and
    // takes that entry's rate, so that the installation gets the rate shown.
    void ApplyModelBaudRate(int32_t baudRate);
    void SetSetupType(int32_t setupType) { setupType_ = setupType; }

    // The two list builders: Typical adds the model's first USB port, Advanced
    // all four and shows the driver variant. `moduleIniPath` is the model's
    // module INI as BuildConfigPaths composes it.
    void BuildTypicalList(const std::string& model, int32_t os, const std::string& moduleIniPath);
    void BuildAdvancedList(const std::string& model, int32_t os, const std::string& moduleIniPath);

    const std::string& PortName() const { return portName_; }
    int32_t DriverMode() const { return driverMode_; }
    int32_t BaudRate() const { return baudRate_; }
    int32_t DataBits() const { return dataBits_; }
    double StopBits() const { return stopBits_; }
    char Parity() const { return parity_; }
    char Flow() const { return flow_; }
    int32_t UsbPrinterNumber() const { return usbPrinterNumber_; }
    int32_t SetupType() const { return setupType_; }

    static constexpr size_t kPortNameSize = 100;

private:
    void BuildList(bool typical, const std::string& model, int32_t os,
                   const std::string& moduleIniPath);
    void TakePort(int index);
    void EnableSerial(bool enable);
    void ShowUsbDriverNote();
    void PortChosen();

    SetupState& state_;
    std::string portName_;
    int32_t baudRate_ = 0;
    int32_t dataBits_ = 8;
    double stopBits_ = 1.0;
    char parity_ = 'n';
    char flow_ = 'p';
    int32_t driverMode_ = Std;
    int32_t usbPrinterNumber_ = -1;
    int32_t setupType_ = SetupTypical;
};
