#include "platform/Threads.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <mutex>
#include <system_error>
#include <thread>
#endif

#include "platform/Errors.h"

namespace plat {

#ifdef _WIN32

struct Thread::Impl {
    HANDLE handle = nullptr;
    std::function<void()> body;
};

namespace {

unsigned __stdcall RunThread(void* parameter) {
    static_cast<Thread::Impl*>(parameter)->body();
    return 0;
}

}  // namespace

uint32_t Thread::Start(std::function<void()> body, Thread& out) {
    out.Join();
    auto impl = std::make_unique<Impl>();
    impl->body = std::move(body);
    const uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, impl.get(), 0, nullptr);
    if (handle == 0) {
        const DWORD error = ::GetLastError();
        return error != 0 ? error : err::NotEnoughMemory;
    }
    impl->handle = reinterpret_cast<HANDLE>(handle);
    out.impl_ = std::move(impl);
    return err::Success;
}

void Thread::Join() {
    if (!impl_) return;
    ::WaitForSingleObject(impl_->handle, INFINITE);
    ::CloseHandle(impl_->handle);
    impl_.reset();
}

struct Lock::Impl {
    Impl() { ::InitializeCriticalSection(&section); }
    ~Impl() { ::DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

void Lock::lock() { ::EnterCriticalSection(&impl_->section); }
void Lock::unlock() { ::LeaveCriticalSection(&impl_->section); }

void YieldThread() { ::Sleep(0); }

#else

struct Thread::Impl {
    std::thread thread;
};

uint32_t Thread::Start(std::function<void()> body, Thread& out) {
    out.Join();
    auto impl = std::make_unique<Impl>();
    try {
        impl->thread = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return err::NotEnoughMemory;
    }
    out.impl_ = std::move(impl);
    return err::Success;
}

void Thread::Join() {
    if (!impl_) return;
    if (impl_->thread.joinable()) impl_->thread.join();
    impl_.reset();
}

struct Lock::Impl {
    std::mutex mutex;
};

void Lock::lock() { impl_->mutex.lock(); }
void Lock::unlock() { impl_->mutex.unlock(); }

void YieldThread() { std::this_thread::yield(); }

#endif

Lock::Lock() : impl_(std::make_unique<Impl>()) {}
Lock::~Lock() = default;

Thread::Thread() = default;
Thread::Thread(Thread&& other) noexcept = default;

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Join();
        impl_ = std::move(other.impl_);
    }
    return *this;
}

Thread::~Thread() { Join(); }

}  // namespace plat
