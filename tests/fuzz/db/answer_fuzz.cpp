// Feeds arbitrary bytes, as a server answer, to every reader of the service's answers: no
// crash, no exception out of them, and row keys in the form the grid sorts by.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "db/answer_reader.h"
#include "db/user_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    FieldList fields;
    (void)db::ReadTableInfo(answer, fields);
    (void)db::ReadRowCount(answer);
    std::map<int, std::string> columns;
    std::map<std::string, std::string> rows;
    if (UpdateTableData(answer, &columns, &rows)) {
        for (const auto& [key, text] : rows) {
            // "" (no record id) or eight digits, "_" and the record id.
            if (!key.empty() && (key.size() < 9 || key[8] != '_')) std::abort();
            if (!text.empty() && text.back() != ';') std::abort();
        }
    }
    std::map<std::string, UserRecord> users;
    (void)db::ReadUserRows(answer, users);
    (void)db::ReadInsertAnswer(answer);
    return 0;
}
