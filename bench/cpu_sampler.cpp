#include "bench/cpu_sampler.h"

#include <link.h>
#include <signal.h>
#include <sys/time.h>
#include <ucontext.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<std::uint64_t> ownSamples{0};
std::atomic<std::uint64_t> gluSamples{0};
std::atomic<std::uint64_t> otherSamples{0};

// The executable code of one loaded object; ranges are found before sampling starts, since
// nothing that takes the loader's lock may run in the signal handler.
struct CodeRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool holds(std::uintptr_t address) const { return address >= begin && address < end; }
};
CodeRange ownCode;
CodeRange gluCode;

int findCode(dl_phdr_info* info, std::size_t, void*) {
    const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
    CodeRange* range = name[0] == '\0' ? &ownCode : std::strstr(name, "libGLU.so") != nullptr ? &gluCode : nullptr;
    if (range == nullptr) return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0) continue;
        const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        if (range->begin == 0 || begin < range->begin) range->begin = begin;
        if (begin + header.p_memsz > range->end) range->end = begin + header.p_memsz;
    }
    return 0;
}

std::uintptr_t interruptedAddress(void* context) {
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<std::uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.pc);
#else
    (void)context;
    return 0;
#endif
}

void onSample(int, siginfo_t*, void* context) {
    const std::uintptr_t address = interruptedAddress(context);
    if (ownCode.holds(address))
        ownSamples.fetch_add(1, std::memory_order_relaxed);
    else if (gluCode.holds(address))
        gluSamples.fetch_add(1, std::memory_order_relaxed);
    else
        otherSamples.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

CpuSampler::CpuSampler(int intervalMicroseconds) {
    dl_iterate_phdr(findCode, nullptr);
    struct sigaction action {};
    action.sa_sigaction = onSample;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPROF, &action, nullptr);
    itimerval timer{};
    timer.it_interval.tv_usec = intervalMicroseconds;
    timer.it_value.tv_usec = intervalMicroseconds;
    setitimer(ITIMER_PROF, &timer, nullptr);
}

CpuSampler::~CpuSampler() {
    itimerval off{};
    setitimer(ITIMER_PROF, &off, nullptr);
    signal(SIGPROF, SIG_IGN);
}

CpuSamples CpuSampler::take() {
    CpuSamples samples;
    samples.own = ownSamples.exchange(0);
    samples.glu = gluSamples.exchange(0);
    samples.other = otherSamples.exchange(0);
    return samples;
}
