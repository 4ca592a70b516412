// Every case of tests/gl/bad-inputs.txt: the game started by a script in a
// child process, in a directory with one file broken, and what it did.
#include "support/GameScript.h"
#include "support/Harness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Name, what is broken, what the game does, what window it asks for (or "").
std::vector<std::vector<std::string>> cases() {
    std::vector<std::vector<std::string>> all;
    for (const std::string& line : dataLines(QM_TEST_DIR "/gl/bad-inputs.txt")) all.push_back(split(line, " | ")), all.back().resize(4);
    return all;
}

// \n, \r, \t and \xNN as the bytes they stand for.
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) out += text[i];
        else if (text[++i] == 'x') out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
        else out += text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i] == 't' ? '\t' : text[i];
    }
    return out;
}

std::string little(int64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

// An uncompressed BMP's file and info headers, then its palette: every entry grey, or grey but entry 7 red.
std::string bmpHeader(int w, int h, int bits, int64_t pixelBytes, const std::string& kind) {
    std::string palette;
    for (int i = 0; i < 256 && !kind.empty(); ++i) palette += i == 7 && kind == "red7" ? std::string("\0\0\xff\0", 4) : std::string(3, char(i)) + '\0';
    const int64_t offset = 54 + static_cast<int64_t>(palette.size());
    return "BM" + little(offset + pixelBytes, 4) + little(0, 4) + little(offset, 4) + little(40, 4) + little(w, 4) + little(h, 4) + little(1, 2) +
           little(bits, 2) + little(0, 4) + little(pixelBytes, 4) + little(2835, 4) + little(2835, 4) + little(palette.size() / 4, 4) + little(0, 4) + palette;
}

void breakStep(const std::string& dir, const std::string& step) {
    std::istringstream words(step);
    std::string op, name, rest;
    std::getline(words >> op >> name >> std::ws, rest);
    const std::string path = dir + "/" + name;
    std::string bytes = op == "cut" || op == "splice" || op == "blank" ? readFile(path) : "";
    std::istringstream args(rest);
    int w = 0, h = 0, bits = 0;
    std::string at, text, hex, kind, row;
    if (op == "rm" || op == "link") std::filesystem::remove(path);
    if (op == "link") std::filesystem::create_symlink(rest, path);
    else if (op == "write") bytes = unescape(rest);
    else if (op == "cut") bytes.resize(static_cast<size_t>(bytes.size() * std::stod(rest)));
    else if (op == "copy") bytes = readFile(dir + "/" + rest);
    else if (op == "blank") bytes += std::string(std::stoul(rest), ' ');
    else if (op == "splice" && std::getline(args >> at >> std::ws, text))
        bytes.insert(at == "end" ? bytes.size() : (std::stol(at) + bytes.size()) % bytes.size(), unescape(text));
    else if (op == "binary")
        for (int i = 0; i < 1024; ++i) bytes += static_cast<char>(i);
    else if (op == "bmp-header" && args >> w >> h)
        bytes = bmpHeader(w, h, 8, int64_t{w} * h, "grey") + std::string(16, '\0');
    else if (op == "bmp" && args >> w >> h >> bits >> hex) {
        args >> kind;
        for (int x = 0; x < w; ++x)
            for (size_t i = 0; i < hex.size(); i += 2) row += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        row.resize((row.size() + 3) / 4 * 4, '\0');
        for (int y = 0; y < h; ++y) bytes += row;
        bytes = bmpHeader(w, h, bits, static_cast<int64_t>(bytes.size()), kind) + bytes;
    } else if (op == "fan") {
        std::string vertices, faces;
        for (int t = 0, n = std::stoi(rest); t < n; ++t) {
            const std::string x = std::to_string(t), first = std::to_string(3 * t + 1);
            vertices += "v " + x + " 0 0\nv " + x + " 1 0\nv " + x + " 0 1\n";
            faces += "f " + first + " " + std::to_string(3 * t + 2) + " " + std::to_string(3 * t + 3) + "\n";
        }
        bytes = vertices + faces;
    } else if (op == "crlf") {
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            std::string crlf;
            for (char c : readFile(entry.path())) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
            writeFile(entry.path(), crlf);
        }
    } else if (op != "rm") {
        FAIL() << "unknown step " << step;
    }
    if (op != "rm" && op != "link" && op != "crlf") writeFile(path, bytes);
}

// What the child saw: the driver's errors, the window asked for, the sky box's
// colour in the start view and whether the HUD drew the hearts.
std::string observe(const GameScript& script) {
    std::string seen;
    for (const std::string& message : script.glErrors) seen += "GL error: " + message + "\n";
    for (const std::string& line : script.trace) {
        std::string word, size, mode;
        std::istringstream(line) >> word >> size >> mode;
        if (word == "window") seen += "asks " + size + " " + mode + "\n";
    }
    if (script.recorded.empty() || script.recorded.back().shown.size() != 800u * 600 * 4) return seen;
    const std::vector<unsigned char>&shown = script.recorded.back().shown, &before = script.recorded.back().beforeHud;
    auto at = [&](const std::vector<unsigned char>& pixels, int x, int y, int k) { return int(pixels[(static_cast<size_t>(y) * 800 + x) * 4 + k]); };
    double rgb[3] = {0, 0, 0};
    for (int y = 400; y < 540; ++y)
        for (int x = 100; x < 500; ++x)
            for (int k = 0; k < 3; ++k) rgb[k] += at(shown, x, y, k) / (140.0 * 400);
    const double r = rgb[0], g = rgb[1], b = rgb[2], high = std::max({r, g, b}), low = std::min({r, g, b});
    seen += high < 8 ? "sky=black" : b > 150 && b > r + 50 ? "sky=blue" : r > 40 && r > 3 * std::max(g, b) ? "sky=red" : r > 20 && high - low < 8 ? "sky=grey" : "sky=other";
    int ink = 0;  // pixels of the three hearts' cells the HUD made brighter
    for (int i = 0; i < 120 * 40; ++i)
        for (int k = 0; k < 3; ++k) ink += (at(shown, 672 + i % 120, 536 + i / 120, k) - at(before, 672 + i % 120, 536 + i / 120, k)) / 30;
    return seen + (ink > 3 * 200 ? " hearts" : " no-hearts") + "\n";
}

class BadInput : public ::testing::TestWithParam<std::vector<std::string>> {};

}  // namespace

TEST_P(BadInput, HasItsOutcome) {
    const std::string &breaks = GetParam()[1], &outcome = GetParam()[2], &window = GetParam()[3];
    TempDir dir;
    prepareGameDirectory(dir.path, "WIDTH = 800\nHEIGHT = 600\nFULLSCREEN = 0\n");
    static GameScript script;  // what the child's exit handler reports
    for (const std::string& step : split(breaks, " then ")) {
        if (step.rfind("glew ", 0) == 0) script.glewResult = std::stoi(step.substr(5)), script.glewMissesAnEntryPoint = step.find(" lose") != std::string::npos;
        else breakStep(dir.path, step);
    }
    const ChildResult run = runInChild([] {
        script.frames = {{0.5}, {1.0}, {1.5}};
        script.keepPixels = true;
        std::atexit([] { std::ofstream("seen.txt") << observe(script); });
        return script.play();
    }, dir.path);
    const std::string seen = readFile(dir / "seen.txt"), kind = outcome.substr(0, outcome.find(' ')), detail = outcome.substr(kind.size() + (kind != outcome));
    if (kind == "runs") {
        EXPECT_TRUE(run.status == 0 && run.out + run.err == "") << run.status << run.out << run.err;
        EXPECT_EQ(seen.find("GL error"), std::string::npos) << seen;
        std::string words = " " + seen;
        std::replace(words.begin(), words.end(), '\n', ' ');
        std::istringstream expected(detail);
        for (std::string word; expected >> word;) EXPECT_NE(words.find(" " + word + " "), std::string::npos) << word << " is not in " << seen;
    } else {
        EXPECT_TRUE(run.status == 255 && run.err == "") << run.status << run.err;
        std::string lines;
        const std::filesystem::path tests = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        for (std::string line : split(detail, " / ")) {
            for (const auto& [name, path] : {std::pair{"{dir}", dir.path}, {"{tests}", tests.string()}, {"{build}", tests.parent_path().string()}})
                if (line.find(name) != std::string::npos) line.replace(line.find(name), std::string(name).size(), path);
            lines += line + "\n";
        }
        if (kind == "fatal") EXPECT_EQ(run.out, lines);
        else EXPECT_TRUE(run.out.rfind(lines, 0) == 0 && run.out.find("error", lines.size()) != std::string::npos && run.out.back() == '\n') << run.out;
    }
    const size_t asks = seen.find("asks ");
    if (!window.empty()) {
        EXPECT_EQ(asks == std::string::npos ? "nothing" : seen.substr(asks + 5, seen.find('\n', asks) - asks - 5), window.substr(5));
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::ValuesIn(cases()), [](const auto& info) {
    std::string name = info.param[0];
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});
