#pragma once

#include "util/UTL_CriticalSection.h"
#include "util/UTL_Thread.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class OGL_TextureFoto;
class UTL_File;

// One picture address known to the worker, with the texture its picture is decoded into.
struct UTL_FotoTextureEntry
{
    explicit UTL_FotoTextureEntry(const std::string& address);
    ~UTL_FotoTextureEntry();

    bool loaded = false; // the worker has processed it, whether or not the picture decoded
    std::string address;
    std::unique_ptr<OGL_TextureFoto> texture; // wrap GL_CLAMP_TO_EDGE
};

// Turns picture addresses into textures without stalling the frame loop. Drawing code asks for
// the texture of an address every frame; the first request registers the address and returns
// null; a background thread downloads (web addresses) or reads (local paths) the pending
// pictures one at a time, in byte-wise order of their addresses, and decodes each into its
// texture's image. From then on requests return that texture, whose GL object the main thread
// creates at its first bind. An entry is marked loaded even when its picture failed, and is never
// tried again. The thread ends when nothing is pending and starts again on demand. What the
// decoded pictures may cost together is bounded (DefaultDecodedBudget), as is each picture
// (by the readers) and each download (MaxDownloadBytes).
//
// Threading: the constructor, RequestTexture and the destructor run on the main (GL) thread;
// Run is the worker thread's body. One lock guards the map's structure, the loaded flags and
// `running`; it is never held during a download or a decode. The worker touches an entry's
// texture only while the entry is not loaded; the main thread only after seeing it loaded.
// Destruction stops the worker cooperatively: it aborts the transfer in flight, joins the
// thread, and only then frees the entries.
class UTL_FotoTextureBoss : public UTL_Thread
{
public:
    // Initialises libcurl; the owner calls Start right after construction.
    UTL_FotoTextureBoss();
    ~UTL_FotoTextureBoss() override;

    // The texture of the address once its picture has been processed, else null (registering
    // the address the first time, and starting the worker when it is idle).
    OGL_TextureFoto* RequestTexture(const std::string& address);

    void Run() override;

    // Where downloads are written before decoding; "./data/temp.jpg" by default. Its ".jpg"
    // extension makes every download decode as JPEG. Set before the first request. When it
    // cannot be written (a read-only or missing ./data), the worker falls back to a file of its
    // own in the system's temporary folder, removed when the worker goes.
    void SetScratchPath(const std::string& path) { scratchPath = path; }
    const std::string& GetScratchPath() const { return scratchPath; }

    // Time limits of one download, in seconds: to connect, and for the whole transfer.
    static constexpr long ConnectTimeout = 10;
    static constexpr long TransferTimeout = 30;
    // A download larger than this is abandoned: no profile picture comes near it, and a hostile
    // server must not make the worker allocate without bound.
    static constexpr size_t MaxDownloadBytes = 16 * 1024 * 1024;
    // The most pixel bytes all decoded pictures may hold together. Textures keep their image
    // after the upload, so this bounds what the worker's pictures cost in memory for as long as
    // the worker lives. Once a picture would take the total past it, that picture and every one
    // after it that does not fit stays without pixels, as a picture that could not be fetched.
    // A circle of 10,000 friends with ordinary profile pictures needs about a third of it.
    static constexpr size_t DefaultDecodedBudget = size_t(256) << 20;
    // The longest side a picture is kept at; larger ones are shrunk once decoded. The largest
    // any picture shows is the selected friend's label: about 200 pixels in a window 1080
    // pixels tall (unselected labels about 50, docked items 128 at their most).
    static constexpr int32_t MaxPictureSide = 256;
    // Replaces the budget (tests use small ones). Set before the first request.
    void SetDecodedBudget(size_t bytes) { decodedBudget = bytes; }
    // Called on the worker thread, with no lock held, each time a picture has been processed, so
    // that a window that draws nothing while nothing changes knows to draw again. It must be
    // safe to call from another thread and must not call back into the worker. Set before the
    // worker starts.
    void SetOnProcessed(std::function<void()> value) { onProcessed = std::move(value); }
    // Releases the GL objects of the pictures loaded so far; GL thread, context current, before
    // the context goes.
    void ReleaseGL();

    // Counters for benchmarks and tests; read from any thread.
    struct Statistics
    {
        std::atomic<int> processed{0}; // entries marked loaded
        std::atomic<int> downloads{0}; // web addresses fetched
        std::atomic<long long> transferMicroseconds{0};
        std::atomic<long long> decodeMicroseconds{0};
        std::atomic<long long> decodedBytes{0}; // pixel bytes of the pictures kept
        std::atomic<int> overBudget{0};         // pictures dropped for the decoded budget
    };
    const Statistics& GetStatistics() const { return statistics; }

    // Whether the worker thread is (or is about to be) running.
    bool IsRunning();
    // Addresses known, and those of them not processed yet.
    size_t CountEntries();
    size_t CountPending();

private:
    // Resolves one pending picture: downloads a web address into the scratch file and decodes
    // it, or decodes a local path directly.
    void LoadPicture(UTL_FotoTextureEntry& entry);
    void DownloadPicture(const std::string& address, OGL_TextureFoto& texture);
    // Decodes the file at `path` into the texture and keeps the pixels when the decoded budget
    // allows; worker thread only.
    void DecodePicture(const std::string& path, OGL_TextureFoto& texture);
    // Opens the scratch file for writing, falling back to the temporary folder once.
    bool OpenScratch(UTL_File& scratch);

    std::map<std::string, std::unique_ptr<UTL_FotoTextureEntry>> entries;
    std::unique_ptr<UTL_CriticalSection> lock;
    bool running = true;
    std::atomic<bool> stopping{false};
    std::string scratchPath = "./data/temp.jpg";
    std::string fallbackScratchPath; // worker thread only; empty until the fallback is in use
    size_t decodedBudget = DefaultDecodedBudget;
    Statistics statistics;
    std::function<void()> onProcessed;
};
