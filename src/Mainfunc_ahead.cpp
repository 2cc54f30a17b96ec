#include "Mainfunc_ahead.h"

#include "exceptions.h"
#include "fileinfo.h"

// --- TDecodeThread ------------------------------------------------------------------------

TDecodeThread::TDecodeThread() : thread_([this] { Loop(); }) {}

TDecodeThread::~TDecodeThread()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TDecodeThread::Start(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
    }
    wake_.notify_all();
}

void TDecodeThread::Wait()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_; });
}

bool TDecodeThread::Busy()
{
    std::lock_guard lock(mutex_);
    return busy_;
}

void TDecodeThread::Loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || job_; });
        if (!job_)
            return;
        std::function<void()> job = std::move(job_);
        job_ = nullptr;
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

// --- TPageWorker --------------------------------------------------------------------------

namespace {

// LoadJpegFile's work on a decoder of the worker's own, with the outcome kept instead of
// returned or raised: the main thread decides later what it means.
TDecodeOutcome Decode(const std::string& path, TJPEGImage& image)
{
    TDecodeOutcome o;
    try {
        image.LoadFromFile(path);
        image.DIBNeeded();
        o.Kind = TDecodeOutcome::Decoded;
    } catch (const EInvalidGraphic&) {
        o.Kind = TDecodeOutcome::Rejected;
    } catch (...) {
        o.Kind = TDecodeOutcome::Failed;
        o.Error = std::current_exception();
    }
    return o;
}

// Equal as far as a stat can tell, settled or not.
bool SameFields(TFileIdentity a, const TFileIdentity& b)
{
    if (a.Size < 0 || b.Size < 0)
        return a.Size == b.Size;
    a.Settled = true;
    return a.SameVersion(b);
}

}  // namespace

TPageWorker::TPageWorker()
{
    // The probe only asks whether the file decodes, as IsJpegFile's does.
    probe_.KeepPixels = false;
    probe_.SetCancelFlag(&cancel_);
    load_.SetCancelFlag(&cancel_);
}

TPageWorker::~TPageWorker()
{
    StopAndWait();
}

void TPageWorker::StopAndWait()
{
    cancel_ = true;
    probeThread_.Wait();
    loadThread_.Wait();
    cancel_ = false;
}

void TPageWorker::Wait()
{
    probeThread_.Wait();
    loadThread_.Wait();
}

void TPageWorker::Discard()
{
    cancel_ = true;
    work_ = TWork::None;
    path_.clear();
}

void TPageWorker::Prepare(const std::string& path)
{
    TFileIdentity now;
    CurrentFileIdentity(path, now);
    if (work_ == TWork::Prepare && path_ == path) {
        if (probeThread_.Busy() || loadThread_.Busy())
            return;
        // Done: again only for a file that changed since, or, once, for one that had
        // changed too short a time before it was read.
        const bool settled = probe_.Source().Settled && load_.Source().Settled;
        if (SameFields(startedOn_, now) && (settled || retried_))
            return;
        retried_ = SameFields(startedOn_, now);
    } else {
        retried_ = false;
    }
    StopAndWait();
    work_ = TWork::Prepare;
    path_ = path;
    startedOn_ = now;
    ++preparations_;
    probeThread_.Start([this, path] { probeOutcome_ = Decode(path, probe_); });
    loadThread_.Start([this, path] { loadOutcome_ = Decode(path, load_); });
}

// Both decodes are finished. The probe's answer counts when the decoder gave it (an open
// error has to be met at the moment of the turn), and the load's pixels when it decoded,
// both from the version of the file that is there now.
bool TPageWorker::Usable(const std::string& path)
{
    const TFileIdentity& read = probe_.Source();
    TFileIdentity now;
    if (probeOutcome_.Kind == TDecodeOutcome::Failed || !CurrentFileIdentity(path, now) || !read.SameVersion(now))
        return false;
    if (probeOutcome_.Kind == TDecodeOutcome::Rejected)
        return true;
    return loadOutcome_.Kind == TDecodeOutcome::Decoded && load_.Source().SameVersion(now);
}

bool TPageWorker::TakePrepared(const std::string& path, bool& isJpeg, bool loadBeside)
{
    if (work_ == TWork::Prepare && path_ == path) {
        Wait();
        if (Usable(path)) {
            ++preparedTurns_;
            work_ = TWork::Load;
            isJpeg = probeOutcome_.Kind == TDecodeOutcome::Decoded;
            return true;
        }
    }
    StopAndWait();
    work_ = TWork::None;
    path_.clear();
    if (loadBeside) {
        work_ = TWork::Load;
        path_ = path;
        loadThread_.Start([this, path] { loadOutcome_ = Decode(path, load_); });
    }
    return false;
}

bool TPageWorker::CommitLoad(TJPEGImage& image)
{
    loadThread_.Wait();
    work_ = TWork::None;
    path_.clear();
    image.Swap(load_);
    load_.KeepBuffersFor(static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.Height()));
    switch (loadOutcome_.Kind) {
    case TDecodeOutcome::Decoded: return true;
    case TDecodeOutcome::Rejected: return false;
    case TDecodeOutcome::Failed: break;
    }
    std::exception_ptr error = std::move(loadOutcome_.Error);
    loadOutcome_ = {};
    std::rethrow_exception(error);
}

void TPageWorker::DropLoad()
{
    Discard();
}
