#pragma once
// Decoding page files off the main thread: the page after the one on show, prepared while
// the reader reads, and the load that runs beside the probe when a turn was not prepared.
//
// Two threads, each with decoders of its own: one does what IsJpegFile does, the other what
// LoadJpegFile does. They touch nothing but their own decoders; the main thread alone hands a
// result over to the page objects, and only for the very version of the file they read.
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "jpeg.h"

// One thread that runs one job at a time.
class TDecodeThread {
public:
    TDecodeThread();
    ~TDecodeThread();  // lets the job in progress end, then ends the thread
    TDecodeThread(const TDecodeThread&) = delete;
    TDecodeThread& operator=(const TDecodeThread&) = delete;

    // Hands over a job; the thread must be idle (Wait first).
    void Start(std::function<void()> job);
    // Returns once no job runs; what the job wrote is then visible to the caller.
    void Wait();
    bool Busy();

private:
    void Loop();
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::function<void()> job_;
    bool busy_ = false, quit_ = false;
    std::thread thread_;
};

// How one decode of a file ended, in the terms ShowPage cares about.
struct TDecodeOutcome {
    enum TKind {
        Decoded,   // read and decoded without an error
        Rejected,  // the decoder refused it (EInvalidGraphic): LoadJpegFile's false
        Failed,    // anything else (the file could not be opened, memory ran out)
    } Kind = Failed;
    std::exception_ptr Error;  // what Failed raised
};

class TPageWorker {
public:
    TPageWorker();
    ~TPageWorker();
    TPageWorker(const TPageWorker&) = delete;
    TPageWorker& operator=(const TPageWorker&) = delete;

    // Starts probing and loading path on the two threads, unless this version of the file is
    // prepared already or in work. Returns at once.
    void Prepare(const std::string& path);
    // Returns once both threads are idle.
    void Wait();
    // Stops the work in progress at its next row and forgets every result; returns at once.
    void Discard();

    // At a turn to path. When the threads prepared exactly the version of the file that is
    // there now (waiting for work on it still in progress), gives the probe's answer in
    // isJpeg and returns true; the load is then ready for CommitLoad. Otherwise returns false
    // and the caller does the work itself; with loadBeside the load of path has then been
    // started, and the caller's probe runs beside it.
    bool TakePrepared(const std::string& path, bool& isJpeg, bool loadBeside);
    // The load that TakePrepared made ready or started: waits for it, then gives its decoder
    // to image (which hands its own over in exchange, for the next load) and reports as
    // LoadJpegFile(path, image) would: true, false, or the error it raised.
    bool CommitLoad(TJPEGImage& image);
    // The started load is not wanted (the probe said no).
    void DropLoad();

    // Turns that used a prepared result, and preparations started: for tests and benchmarks.
    int PreparedTurns() const { return preparedTurns_; }
    int Preparations() const { return preparations_; }

private:
    enum class TWork { None, Prepare, Load };
    void StopAndWait();
    bool Usable(const std::string& path);


    std::atomic<bool> cancel_{false};
    TJPEGImage probe_, load_;
    TDecodeOutcome probeOutcome_, loadOutcome_;
    // What the threads were last given, and for which file; main thread only.
    TWork work_ = TWork::None;
    std::string path_;
    // The file as it stood when its preparation started, and whether it has been prepared
    // again because the first read came too soon after a change to prove anything.
    TFileIdentity startedOn_;
    bool retried_ = false;
    int preparedTurns_ = 0, preparations_ = 0;
    // Last, so that the threads end before the decoders they use go.
    TDecodeThread probeThread_, loadThread_;
};
