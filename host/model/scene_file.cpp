// Scene files on disk.
//
// The format is plain ASCII text, one value per line:
//
//   vantic-scene 1                       first line: what the file is, and the format version
//   int "<key>" <value>                  an int32 in decimal
//   string "<key>" "<text>"              a text
//   block "<name>"                       starts a named block (fxFormatNew); the values before the
//                                        first block line are the save's own stream
//
// Keys, names and texts are quoted. Inside the quotes a double quote is written \" and a backslash
// \\; every byte below 0x20, 0x7f and every byte from 0x80 up is written \xHH (two lowercase hex
// digits), so line breaks and high bytes never reach the file raw. All other bytes stand for
// themselves. Nothing else may appear on a line; a final line break is optional.
#include "model/scene_file.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "model/host.h"

namespace vhost {

namespace {

// Contract: scene files on disk use these tokens; changing one orphans every stored scene.
constexpr const char *kHeader = "vantic-scene 1";
constexpr const char *kBlockWord = "block", *kIntWord = "int", *kStringWord = "string";

// Contract: scene files on disk use these escapes (the top of this file).
void AppendQuoted(std::string &out, const std::string &text) {
    static const char digits[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string Format(const std::vector<SceneBlock> &blocks) {
    std::string out = kHeader;
    out += '\n';
    for (size_t b = 0; b < blocks.size(); ++b) {
        if (b > 0) {
            out += kBlockWord;
            out += ' ';
            AppendQuoted(out, blocks[b].name);
            out += '\n';
        }
        for (const SceneValue &v : blocks[b].values) {
            out += v.isText ? kStringWord : kIntWord;
            out += ' ';
            AppendQuoted(out, v.key);
            out += ' ';
            if (v.isText)
                AppendQuoted(out, v.text);
            else
                out += std::to_string(v.number);
            out += '\n';
        }
    }
    return out;
}

// Reads one line of the file token by token; every problem throws with the file and line.
class LineReader {
public:
    LineReader(const std::string &path, size_t number, const std::string &line)
        : path_(path), number_(number), line_(line) {}

    // Contract: clients and tests read the "<path>:<line>: " prefix of these errors.
    [[noreturn]] void fail(const std::string &problem) const {
        throw std::runtime_error(path_ + ":" + std::to_string(number_) + ": " + problem);
    }

    std::string word() {
        const size_t start = at_;
        while (at_ < line_.size() && line_[at_] >= 'a' && line_[at_] <= 'z') ++at_;
        return line_.substr(start, at_ - start);
    }

    void space() {
        if (at_ >= line_.size() || line_[at_] != ' ') fail("expected one space");
        ++at_;
    }

    std::string quoted() {
        if (at_ >= line_.size() || line_[at_] != '"') fail("expected a quoted text");
        ++at_;
        std::string text;
        while (true) {
            if (at_ >= line_.size()) fail("unterminated quoted text");
            const char c = line_[at_++];
            if (c == '"') return text;
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7f) fail("raw control or high byte in a quoted text");
            if (c != '\\') {
                text += c;
                continue;
            }
            if (at_ >= line_.size()) fail("unterminated quoted text");
            const char e = line_[at_++];
            if (e == '"' || e == '\\') {
                text += e;
            } else if (e == 'x') {
                text += static_cast<char>(hexByte());
            } else {
                fail(std::string("unknown escape \\") + e);
            }
        }
    }

    int32_t integer() {
        int32_t value = 0;
        const char *first = line_.data() + at_;
        const char *last = line_.data() + line_.size();
        const auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc() || end == first) fail("expected a 32-bit integer");
        at_ += static_cast<size_t>(end - first);
        return value;
    }

    void end() const {
        if (at_ != line_.size()) fail("unexpected text at the end of the line");
    }

private:
    unsigned hexDigit() {
        if (at_ >= line_.size()) fail("short \\x escape");
        const char c = line_[at_++];
        if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
        if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
        if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
        fail("bad \\x escape");
    }

    unsigned hexByte() {
        const unsigned high = hexDigit();
        const unsigned byte = high * 16 + hexDigit();
        if (byte == 0) fail("a text cannot hold a zero byte");
        return byte;
    }

    const std::string &path_;
    size_t number_;
    const std::string &line_;
    size_t at_ = 0;
};

std::vector<SceneBlock> Parse(const std::string &path, const std::string &contents) {
    std::vector<SceneBlock> blocks(1);
    std::istringstream in(contents);
    std::string line;
    size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // tolerate a file that went through Windows
        LineReader reader(path, number, line);
        if (number == 1) {
            if (line != kHeader) reader.fail(std::string("not a scene file (the first line must be \"") + kHeader + "\")");
            continue;
        }
        const std::string kind = reader.word();
        reader.space();
        if (kind == kBlockWord) {
            SceneBlock block;
            block.name = reader.quoted();
            reader.end();
            blocks.push_back(std::move(block));
            continue;
        }
        SceneValue value;
        value.key = reader.quoted();
        reader.space();
        if (kind == kIntWord) {
            value.number = reader.integer();
        } else if (kind == kStringWord) {
            value.isText = true;
            value.text = reader.quoted();
        } else {
            reader.fail("unknown line kind \"" + kind + "\"");
        }
        reader.end();
        blocks.back().put(std::move(value));
    }
    if (number == 0) throw std::runtime_error(path + ": empty file, not a scene file");
    return blocks;
}

SceneFile &FileOf(Host &host) { return host.scene.sceneFile; }

// Starts a save or load on these blocks: every block gets a stream handle; returns the first.
KorrinHandle Start(SceneFile &file, SceneFile::Mode mode, const std::string &path, std::vector<SceneBlock> blocks) {
    file.mode = mode;
    file.path = path;
    file.blocks.clear();
    file.streams.clear();
    KorrinHandle first = 0;
    for (SceneBlock &block : blocks) {
        const KorrinHandle handle = file.open(block.name);
        file.blocks.back().values = std::move(block.values);
        file.blocks.back().index = std::move(block.index);
        if (!first) first = handle;
    }
    return first;
}

void Close(SceneFile &file) {
    file.mode = SceneFile::Mode::Idle;
    file.path.clear();
    file.blocks.clear();
    file.streams.clear();
}

}  // namespace

const SceneValue *SceneBlock::find(const std::string &key) const {
    auto it = index.find(key);
    return it == index.end() ? nullptr : &values[it->second];
}

void SceneBlock::put(SceneValue value) {
    auto [it, added] = index.emplace(value.key, values.size());
    if (added)
        values.push_back(std::move(value));
    else
        values[it->second] = std::move(value);
}

SceneBlock *SceneFile::stream(KorrinHandle handle) {
    auto it = streams.find(handle);
    return it == streams.end() ? nullptr : &blocks[it->second];
}

KorrinHandle SceneFile::open(const std::string &name) {
    blocks.push_back(SceneBlock{name, {}, {}});
    const KorrinHandle handle = nextHandle++;
    streams[handle] = blocks.size() - 1;
    return handle;
}

KorrinHandle BeginSave(Host &host, const std::string &path) {
    return Start(FileOf(host), SceneFile::Mode::Saving, path, std::vector<SceneBlock>(1));
}

void EndSave(Host &host) {
    SceneFile &file = FileOf(host);
    if (file.mode != SceneFile::Mode::Saving) return;
    const std::string path = file.path;
    const std::string text = Format(file.blocks);
    Close(file);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw std::runtime_error(path + ": cannot write the scene file");
}

KorrinHandle BeginLoad(Host &host, const std::string &path, const std::string &block) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open the scene file");
    const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw std::runtime_error(path + ": cannot read the scene file");
    SceneFile &file = FileOf(host);
    const KorrinHandle own = Start(file, SceneFile::Mode::Loading, path, Parse(path, contents));
    if (block.empty()) return own;
    const std::vector<KorrinHandle> named = LoadedBlocks(host, block);
    return named.empty() ? 0 : named.front();
}

std::vector<KorrinHandle> LoadedBlocks(Host &host, const std::string &name) {
    SceneFile &file = FileOf(host);
    std::vector<KorrinHandle> handles;
    if (file.mode != SceneFile::Mode::Loading) return handles;
    // Handles are handed out in block order, so the map's order is the file's.
    for (const auto &[handle, index] : file.streams)
        if (index > 0 && file.blocks[index].name == name) handles.push_back(handle);
    return handles;
}

void EndLoad(Host &host) {
    SceneFile &file = FileOf(host);
    if (file.mode == SceneFile::Mode::Loading) Close(file);
}

}  // namespace vhost
