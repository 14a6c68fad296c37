#include "util/UTL_FotoTextureBoss.h"

#include "gfx/OGL_TextureFoto.h"
#include "util/UTL_File.h"

#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

long long MicrosecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

// The bytes of one download, kept within UTL_FotoTextureBoss::MaxDownloadBytes.
struct DownloadBuffer
{
    std::string bytes;
    bool tooLarge = false;
};

size_t AppendToBuffer(char* data, size_t size, size_t count, void* userData)
{
    auto* buffer = static_cast<DownloadBuffer*>(userData);
    const size_t length = size * count;
    if (buffer->bytes.size() + length > UTL_FotoTextureBoss::MaxDownloadBytes)
    {
        buffer->tooLarge = true;
        return 0; // makes libcurl abort the transfer
    }
    buffer->bytes.append(data, length);
    return length;
}

// Progress callback: a non-zero result aborts the transfer, which is how destruction stops a
// download in flight.
int AbortWhenStopping(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<std::atomic<bool>*>(userData)->load() ? 1 : 0;
}

bool IsWebAddress(const std::string& address)
{
    // Exactly "http" or "HTTP"; "https" addresses qualify through their first four characters.
    return address.compare(0, 4, "http") == 0 || address.compare(0, 4, "HTTP") == 0;
}
} // namespace

UTL_FotoTextureEntry::UTL_FotoTextureEntry(const std::string& address)
    : address(address), texture(std::make_unique<OGL_TextureFoto>())
{
    texture->SetWrap(GL_CLAMP_TO_EDGE);
}

UTL_FotoTextureEntry::~UTL_FotoTextureEntry() = default;

UTL_FotoTextureBoss::UTL_FotoTextureBoss() : lock(std::make_unique<UTL_CriticalSection>())
{
    curl_global_init(CURL_GLOBAL_ALL);
}

UTL_FotoTextureBoss::~UTL_FotoTextureBoss()
{
    // Stop first, free afterwards: the thread may be inside a download or a decode of an entry.
    stopping = true;
    {
        UTL_CriticalSection::Guard guard(*lock);
        running = false;
    }
    Join();
    entries.clear();
    if (!fallbackScratchPath.empty())
        std::remove(fallbackScratchPath.c_str());
    lock.reset();
    curl_global_cleanup();
}

bool UTL_FotoTextureBoss::IsRunning()
{
    UTL_CriticalSection::Guard guard(*lock);
    return running;
}

size_t UTL_FotoTextureBoss::CountEntries()
{
    UTL_CriticalSection::Guard guard(*lock);
    return entries.size();
}

size_t UTL_FotoTextureBoss::CountPending()
{
    UTL_CriticalSection::Guard guard(*lock);
    size_t pending = 0;
    for (const auto& [address, entry] : entries)
        pending += entry->loaded ? 0 : 1;
    return pending;
}

OGL_TextureFoto* UTL_FotoTextureBoss::RequestTexture(const std::string& address)
{
    // Only this thread inserts, so the look-up needs no lock; the worker only reads the map.
    auto found = entries.find(address);
    if (found == entries.end())
    {
        auto entry = std::make_unique<UTL_FotoTextureEntry>(address);
        UTL_CriticalSection::Guard guard(*lock);
        if (!running && !stopping)
        {
            running = true;
            Start();
        }
        entries.emplace(address, std::move(entry));
        return nullptr;
    }

    UTL_FotoTextureEntry& entry = *found->second;
    UTL_CriticalSection::Guard guard(*lock);
    if (entry.loaded)
        return entry.texture.get();
    if (!running && !stopping)
    {
        running = true;
        Start();
    }
    return nullptr;
}

void UTL_FotoTextureBoss::Run()
{
    for (;;)
    {
        UTL_FotoTextureEntry* pending = nullptr;
        {
            UTL_CriticalSection::Guard guard(*lock);
            if (!running)
                return;
            for (auto& [address, entry] : entries)
            {
                if (!entry->loaded)
                {
                    pending = entry.get();
                    break;
                }
            }
            if (!pending)
            {
                running = false;
                return;
            }
        }

        LoadPicture(*pending);
        {
            UTL_CriticalSection::Guard guard(*lock);
            pending->loaded = true;
            ++statistics.processed;
        }
        if (onProcessed)
            onProcessed();
    }
}

void UTL_FotoTextureBoss::LoadPicture(UTL_FotoTextureEntry& entry)
{
    if (entry.address.empty() || stopping)
        return;
    // With the budget spent, nothing more can be kept: neither fetch nor decode.
    if (size_t(statistics.decodedBytes.load()) >= decodedBudget)
    {
        ++statistics.overBudget;
        return;
    }
    if (IsWebAddress(entry.address))
        DownloadPicture(entry.address, *entry.texture);
    else
        DecodePicture(entry.address, *entry.texture);
}

void UTL_FotoTextureBoss::DecodePicture(const std::string& path, OGL_TextureFoto& texture)
{
    const auto start = Clock::now();
    texture.LoadImage(path);
    texture.ScaleImageDown(MaxPictureSide);
    statistics.decodeMicroseconds += MicrosecondsSince(start);
    const GFX_Image* image = texture.GetImage();
    const size_t bytes = image ? image->GetByteCount() : 0;
    if (bytes == 0)
        return;
    if (size_t(statistics.decodedBytes.load()) + bytes > decodedBudget)
    {
        texture.ClearImage();
        ++statistics.overBudget;
        return;
    }
    statistics.decodedBytes += static_cast<long long>(bytes);
}

bool UTL_FotoTextureBoss::OpenScratch(UTL_File& scratch)
{
    if (fallbackScratchPath.empty())
    {
        if (scratch.Open(scratchPath, UTL_File::WriteMode))
            return true;
        std::error_code ignored;
        const auto folder = std::filesystem::temp_directory_path(ignored);
        fallbackScratchPath = (folder.empty() ? std::filesystem::path("/tmp") : folder) /
                              ("halvane-" + std::to_string(getpid()) + "-" +
                               std::to_string(reinterpret_cast<uintptr_t>(this)) + ".jpg");
    }
    return scratch.Open(fallbackScratchPath, UTL_File::WriteMode) != nullptr;
}

void UTL_FotoTextureBoss::DownloadPicture(const std::string& address, OGL_TextureFoto& texture)
{
    DownloadBuffer buffer;
    CURLcode result = CURLE_FAILED_INIT;
    const auto start = Clock::now();
    if (CURL* curl = curl_easy_init())
    {
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToBuffer);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &buffer);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "libcurl-agent/1.0");
        // Not in the classic client, which could hang the worker on a dead server forever.
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, ConnectTimeout);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, TransferTimeout);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenStopping);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &stopping);
        result = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
    }
    statistics.transferMicroseconds += MicrosecondsSince(start);
    ++statistics.downloads;
    if (stopping)
        return;

    // Whatever arrived goes to the scratch file, an error page included: the JPEG reader then
    // refuses it and the picture stays without pixels. A transfer that failed outright (no
    // connection, time-out, oversized) is not decoded at all, with the same outcome.
    UTL_File scratch;
    if (!OpenScratch(scratch))
        return;
    scratch.Write(buffer.bytes.data(), buffer.bytes.size());
    scratch.Close();
    if (result != CURLE_OK || buffer.tooLarge)
        return;

    DecodePicture(fallbackScratchPath.empty() ? scratchPath : fallbackScratchPath, texture);
}

void UTL_FotoTextureBoss::ReleaseGL()
{
    // Only loaded entries have a GL object, and the worker is done with their textures.
    UTL_CriticalSection::Guard guard(*lock);
    for (auto& [address, entry] : entries)
        if (entry->loaded && entry->texture)
            entry->texture->Delete();
}
