// Worker processes of a capture: this program started again with other arguments, each
// reporting its frames done as "frames N" lines on stdout and keeping its stderr for the
// report of a failure. They end together: when one fails, when the capture is cancelled,
// or when the capture itself dies (they get SIGTERM with their parent).
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class WorkerProcesses {
public:
    WorkerProcesses() = default;
    ~WorkerProcesses();  // stops and reaps any still running
    WorkerProcesses(const WorkerProcesses&) = delete;
    WorkerProcesses& operator=(const WorkerProcesses&) = delete;

    // Runs `program` once for each list of arguments (argv[0] is added), `atOnce` at a time
    // in order, the next starting as one ends. False with `error` when one cannot be
    // started; those started are stopped.
    bool start(const std::filesystem::path& program, const std::vector<std::vector<std::string>>& arguments, int atOnce,
               std::string& error);

    struct Outcome {
        bool ok = false;
        bool cancelled = false;
        int failed = -1;    // the first worker that failed, from 0
        std::string error;  // its last line on stderr, without the program's name, or how it ended
    };
    // Waits for every worker to end, calling `progress` with the sum of their frames as it
    // grows. On a failure or cancel the others are stopped and waited for.
    Outcome wait(const std::atomic<bool>* cancel, const std::function<void(std::int64_t)>& progress);

private:
    struct Worker {
        pid_t pid = -1;
        int out = -1;  // read ends of its stdout and stderr
        int err = -1;
        std::string outText;  // a partial line
        std::string errText;
        std::int64_t frames = 0;
        bool ended = false;
        int status = 0;
    };
    bool launchNext(std::string& error);
    // Takes what the workers wrote since the last call, waiting a moment for it.
    void readPipes();
    void readPipe(Worker& worker, bool standardOutput);
    // Reaps the workers that ended and records the first that failed; whether any still runs.
    bool reapEnded(Outcome& outcome);
    // Starts queued workers while fewer than atOnce_ run; false when one cannot be started.
    bool startQueued(Outcome& outcome, bool& started);
    std::int64_t framesDone() const;
    void stopAll();
    void reap(Worker& worker, bool block);
    std::vector<Worker> workers_;  // started, in the order of their arguments
    std::filesystem::path program_;
    std::deque<std::vector<std::string>> pending_;
    int atOnce_ = 1;
};
