#pragma once

#include "graph/UTL_SocialGraph.h"

#include <string>

// Fills a UTL_SocialGraph for a reader while holding it to the bounds of a graph file: at most
// MaxNodes nodes and MaxEdges edges (counted as the file lists them, before repeats are folded),
// ids of at most MaxIdBytes, names cut to UTL_TextBound's bound (counted, for a warning),
// picture addresses longer than MaxPictureBytes dropped. Picture addresses that are not URLs are
// paths relative to the file's folder. A bound that is hit makes the add fail with the error
// text set; a name cut does not fail anything.
class UTL_GraphBuilder
{
public:
    static constexpr size_t MaxNodes = 100'000;
    static constexpr size_t MaxEdges = 2'000'000;
    static constexpr size_t MaxPictureBytes = 4096;
    static constexpr size_t MaxIdBytes = 1024;

    // `path`: the file being read, for messages and to resolve pictures.
    UTL_GraphBuilder(UTL_SocialGraph& graph, const std::string& path);

    // The messages of the two bounds.
    static std::string TooManyNodes();
    static std::string TooManyEdges();

    bool AddNode(const std::string& id, size_t& index, std::string& error);
    bool AddEdge(size_t a, size_t b, std::string& error);
    // Both ends by id, added as needed.
    bool AddEdge(const std::string& a, const std::string& b, std::string& error);
    void SetName(size_t index, const std::string& name);
    // A name from the file as the graph keeps it: white space off both ends, cut to
    // UTL_TextBound::MaxCharacters.
    std::string Name(const std::string& text);
    size_t NamesCut() const { return namesCut; }
    // The same without the count, and a picture address as the graph keeps it (white space off
    // both ends; empty when longer than MaxPictureBytes): what a writer writes so that it reads
    // back as it stands.
    static std::string KeptName(const std::string& text, bool* cut = nullptr);
    static std::string KeptPicture(const std::string& address);
    void SetPicture(size_t index, const std::string& address);
    void SetCommunity(size_t index, double value);

    // The user as the file itself names them (a SNAP ego, a saved graph's "self"); the caller's
    // choice wins. A file may also state that it has no user: an empty id.
    void SetFileSelf(const std::string& id)
    {
        fileSelf = id;
        fileStatesSelf = true;
    }
    const std::string& FileSelf() const { return fileSelf; }
    bool FileStatesSelf() const { return fileStatesSelf; }

    UTL_SocialGraph& Graph() { return graph; }

    // A web address (scheme "://"), or an absolute path, stays as it is; a relative path becomes
    // absolute, relative to `folder`.
    static std::string ResolvePicture(const std::string& folder, const std::string& address);

private:
    UTL_SocialGraph& graph;
    std::string folder;
    std::string fileSelf;
    bool fileStatesSelf = false;
    size_t edges = 0;
    size_t namesCut = 0;
};
