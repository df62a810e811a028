// A flat JSON object model for the device's answers: one level of key -> value entries, each
// value kept as its raw JSON text (strings keep their quotes and escapes; nested objects and
// arrays stay text and can be parsed again). Validation is done by character-fed readers
// that recognise where one value ends.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace json {

// Type of a value by its first character.
enum jtype {
    jstring = 0,
    jnumber = 1,
    jobject_type = 2,
    jarray = 3,
    jbool = 4,
    jnull = 5,
    jinvalid = 6
};
jtype type_of(char first);

// A key that is absent (or asked of an array); what() is the key.
class invalid_key : public std::exception {
public:
    explicit invalid_key(std::string key) : key(std::move(key)) {}
    const char* what() const noexcept override { return key.c_str(); }
    std::string key;
};

class parsing_error : public std::invalid_argument {
public:
    explicit parsing_error(const std::string& message) : std::invalid_argument(message) {}
};

class jobject;

// Something that yields one value text.
class entry {
public:
    virtual ~entry() = default;
    virtual std::string as_string() const = 0;
    operator std::string() const { return as_string(); }
};

// Read access to the value of one key; throws invalid_key when the key is absent.
class const_proxy : public entry {
public:
    const_proxy(const jobject* source, std::string key);
    std::string as_string() const override;

protected:
    const jobject* m_source;
    std::string m_key;
};

// Read and write access: assigning a raw JSON text replaces the value or adds the entry.
class proxy : public const_proxy {
public:
    proxy(jobject* source, std::string key)
        : const_proxy(source, std::move(key)), m_target(source) {}
    proxy& operator=(const std::string& rawValue);

private:
    jobject* m_target;
};

class jobject {
public:
    using entries_t = std::vector<std::pair<std::string, std::string>>;

    explicit jobject(bool array = false) : m_array(array) {}
    virtual ~jobject() = default;
    virtual const_proxy operator[](const std::string& key) const;
    virtual proxy operator[](const std::string& key);

    // An object or array from a zero-terminated text; a null or empty text gives an empty
    // object. Throws parsing_error; nothing is returned partly.
    static jobject parse(const char* text);
    static jobject parse(const std::string& text) { return parse(text.c_str()); }

    bool has_key(const std::string& key) const;
    // The raw value text of the first entry with that key; invalid_key when there is none
    // or this is an array.
    std::string get(const std::string& key) const;

    bool is_array() const { return m_array; }
    std::size_t size() const { return m_entries.size(); }
    const entries_t& entries() const { return m_entries; }

private:
    friend class proxy;
    entries_t m_entries;
    bool m_array;
};

// Feeds one JSON value character by character. push() answers 0 accepted, 1 rejected,
// 2 skipped (white space where none belongs to the value).
class reader {
public:
    enum { ACCEPTED = 0, REJECTED = 1, WHITESPACE = 2 };

    reader() = default;
    reader(const reader&) = delete;
    reader& operator=(const reader&) = delete;
    virtual void clear();
    virtual int push(char ch);
    virtual jtype type() const;
    virtual bool is_valid() const;
    virtual std::string text() const { return m_buffer; }
    virtual ~reader() = default;

protected:
    int push_string(char ch);
    int push_number(char ch);
    int push_boolean(char ch);
    int push_null(char ch);
    int push_object(char ch);
    int push_array(char ch);
    int start_element(char ch);

    // Containers nest at most this deep; deeper text is rejected rather than recursed into.
    static constexpr int kMaxDepth = 200;

    std::string m_buffer;
    std::unique_ptr<reader> m_sub;
    int m_state = 0;
    int m_depth = 0;
};

// One "key": value member of an object; the base part reads the value.
class kvp_reader : public reader {
public:
    void clear() override;
    int push(char ch) override;
    bool is_valid() const override;
    std::string text() const override;

private:
    reader m_key;
    bool m_colon = false;
};

}  // namespace json
