// Message boxes on the desktop: SDL's box, shown only where a display can show one and the
// reports go to the terminal (not to a test or the capture).
//
// The box is shown from a child process of ours, in a process group of its own, while this
// process waits and keeps watching for SIGINT and SIGTERM: a signal takes the box (and any
// helper process the window system started for it) away at once, and the child ends with
// this process even when this one is killed outright.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "base/report.h"
#include "platform/message_box_display.h"
#include "platform/sdl_internal.h"
#include "platform/termination.h"

namespace platform {

namespace {

void endBoxGroup(int) { kill(0, SIGKILL); }

void showFromChild(const char* caption, const char* text, Uint32 flags, pid_t parent) {
    setpgid(0, 0);
    signal(SIGTERM, endBoxGroup);
    signal(SIGINT, SIG_IGN);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) endBoxGroup(0);
    SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
    _exit(0);
}

void showAndWait(const char* caption, const char* text, Uint32 flags) {
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
        return;
    }
    if (child == 0) showFromChild(caption, text, flags, parent);
    setpgid(child, child);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return;
        if (terminationSignal() != 0) {
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        usleep(20000);
    }
}

}  // namespace

// Once the program has been asked to end, no box holds it up.
void message_box_display::show(const base::Report& entry) {
    if (!hasVisibleDisplay() || terminationSignal() != 0) return;
    showAndWait(entry.caption.c_str(), entry.text.c_str(),
                entry.level == base::Level::kWarning ? SDL_MESSAGEBOX_WARNING : 0);
}

}  // namespace platform
