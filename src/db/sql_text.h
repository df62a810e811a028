// Pieces every statement of the table layer is made of. Values typed by users or taken from
// records go into the SQL text only through these helpers, so each statement means exactly the
// typed value; names and operators come only from the table description and fixed choices.
#pragma once

#include <optional>
#include <string>

namespace db::sqltext {

// A string is "given" when it is neither empty nor "None".
bool IsGiven(const std::string& text);

// Well-formed UTF-8 (no overlong forms, no surrogates). Answers come back as JSON, which
// cannot carry other bytes, so a value that is not UTF-8 could be stored but never read back.
bool IsUtf8(const std::string& text);

// The value between single quotes in the service's dialect (SQLite): a quote is doubled, a
// backslash stays literal. Empty when the value cannot be carried: it holds a NUL byte (which
// would cut the statement short) or is not UTF-8.
std::optional<std::string> Quoted(const std::string& value);

// A decimal number that may stand unquoted: optional sign, digits with an optional fraction,
// an optional exponent. No blanks, nothing else.
bool IsNumber(const std::string& value);

// A plain column name: a letter or '_' followed by letters, digits or '_'.
bool IsIdentifier(const std::string& name);

// A table name as owners give it: an identifier with blanks around it allowed (the user and
// device tables are named with a trailing blank).
bool IsTableName(const std::string& name);

// The comparison operators the browser and the login offer, with their own spacing.
bool IsComparison(const std::string& op);

// "ASC" or "DESC" in any letter case.
bool IsDirection(const std::string& dir);

// Column types whose values are compared as text: "varchar", "text", "longvarchar" (any
// letter case, a size in brackets such as "varchar(40)" ignored).
bool IsTextType(const std::string& type);

}  // namespace db::sqltext
