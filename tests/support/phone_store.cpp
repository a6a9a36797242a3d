#include "support/phone_store.h"

#include <fstream>

namespace pelorin::testing {

std::map<std::string, std::string> phoneLogFields(const std::string& line) {
    std::map<std::string, std::string> out;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        const std::string field = line.substr(start, end - start);
        const std::size_t eq = field.find('=');
        if (eq != std::string::npos) out[field.substr(0, eq)] = field.substr(eq + 1);
        start = end + 1;
    }
    return out;
}

std::vector<std::map<std::string, std::string>> readPhoneLog(const std::filesystem::path& store) {
    std::vector<std::map<std::string, std::string>> entries;
    std::ifstream in(store / "log.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) entries.push_back(phoneLogFields(line));
    return entries;
}

std::vector<std::string> readPhonePicture(const std::filesystem::path& store, std::string file) {
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".plr") == 0) file.resize(file.size() - 4);
    std::vector<std::string> rows;
    std::ifstream in(store / (file + ".txt"));
    for (std::string row; std::getline(in, row);) rows.push_back(row);
    return rows;
}

std::string pictureMismatch(const std::vector<std::string>& rows, int width, int height,
                            const std::function<bool(int x, int y)>& isSet) {
    if (rows.size() != static_cast<std::size_t>(height))
        return std::to_string(rows.size()) + " rows stored for a picture " + std::to_string(height) + " high";
    for (int y = 0; y < height; ++y) {
        if (rows[y].size() != static_cast<std::size_t>(width)) return "row " + std::to_string(y) + " has another width";
        for (int x = 0; x < width; ++x)
            if ((rows[y][x] == '#') != isSet(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
    }
    return {};
}

}  // namespace pelorin::testing
