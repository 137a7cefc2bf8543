// The one seam through which Setup and Uninstall reach Windows: ten areas
// (registry, profile files, folders, files, spooler, services, system,
// clock, desktop, USB library), each an abstract class of its own header.
//
// Every call is shaped after the Win32 call it stands for: ANSI text, and a
// Win32 error number as the result (0 = success; otherwise what GetLastError
// or the registry call would have given). Text outputs are std::string, but
// where the callers rely on a buffer size the size is passed and honoured the
// way Windows honours it (a profile value is cut to size - 1, and so on).
//
// Two implementations: Win32Windows (platform/win32, the real API, Windows
// builds only) and SimWindows (simwindows/, an in-memory machine). The
// contract suite (tests/contract) runs against both and keeps them in step.
//
// plat::Windows holds one object of each area. A function that uses one or
// two areas takes those; one that uses more takes the whole. A decorator
// replaces one area: `win.With(watch)` is `win` with that area swapped.
#pragma once

#include <utility>

#include "platform/Errors.h"

namespace plat {

class Registry;
class Profile;
class Folders;
class Files;
class Spooler;
class Services;
class System;
class Clock;
class Desktop;
class Usb;

class Windows {
public:
    Windows(Registry& registry, Profile& profile, Folders& folders, Files& files,
            Spooler& spooler, Services& services, System& system, Clock& clock,
            Desktop& desktop, Usb& usb)
        : registry_(&registry), profile_(&profile), folders_(&folders), files_(&files),
          spooler_(&spooler), services_(&services), system_(&system), clock_(&clock),
          desktop_(&desktop), usb_(&usb) {}
    Windows(const Windows&) = default;
    Windows& operator=(const Windows&) = default;
    virtual ~Windows() = default;

    Registry& registry() const { return *registry_; }
    Profile& profile() const { return *profile_; }
    Folders& folders() const { return *folders_; }
    Files& files() const { return *files_; }
    Spooler& spooler() const { return *spooler_; }
    Services& services() const { return *services_; }
    System& system() const { return *system_; }
    Clock& clock() const { return *clock_; }
    Desktop& desktop() const { return *desktop_; }
    Usb& usb() const { return *usb_; }

    operator Registry&() const { return *registry_; }
    operator Profile&() const { return *profile_; }
    operator Folders&() const { return *folders_; }
    operator Files&() const { return *files_; }
    operator Spooler&() const { return *spooler_; }
    operator Services&() const { return *services_; }
    operator System&() const { return *system_; }
    operator Clock&() const { return *clock_; }
    operator Desktop&() const { return *desktop_; }
    operator Usb&() const { return *usb_; }

    // The same machine with one area replaced.
    Windows With(Registry& area) const { return Swapped(&Windows::registry_, &area); }
    Windows With(Profile& area) const { return Swapped(&Windows::profile_, &area); }
    Windows With(Folders& area) const { return Swapped(&Windows::folders_, &area); }
    Windows With(Files& area) const { return Swapped(&Windows::files_, &area); }
    Windows With(Spooler& area) const { return Swapped(&Windows::spooler_, &area); }
    Windows With(Services& area) const { return Swapped(&Windows::services_, &area); }
    Windows With(System& area) const { return Swapped(&Windows::system_, &area); }
    Windows With(Clock& area) const { return Swapped(&Windows::clock_, &area); }
    Windows With(Desktop& area) const { return Swapped(&Windows::desktop_, &area); }
    Windows With(Usb& area) const { return Swapped(&Windows::usb_, &area); }

private:
    template <class Area>
    Windows Swapped(Area* Windows::*slot, Area* area) const {
        Windows w = *this;
        w.*slot = area;
        return w;
    }

    Registry* registry_;
    Profile* profile_;
    Folders* folders_;
    Files* files_;
    Spooler* spooler_;
    Services* services_;
    System* system_;
    Clock* clock_;
    Desktop* desktop_;
    Usb* usb_;
};

// A machine with one area replaced by a decorator that it holds: the
// decorator is made first, from the inner machine (which converts to the area
// it decorates) and `args`, and then stands in for that area.
template <class Decorator>
class Decorated : public Decorator, public Windows {
public:
    template <class... Args>
    explicit Decorated(const Windows& inner, Args&&... args)
        : Decorator(inner, std::forward<Args>(args)...),
          Windows(inner.With(static_cast<Decorator&>(*this))) {}
    Decorated(const Decorated&) = delete;
    Decorated& operator=(const Decorated&) = delete;
};

}  // namespace plat
