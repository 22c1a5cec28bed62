#pragma once
// cJSON helpers: owning pointers, typed field reads with one clear error text, answer envelopes.

#include <cjson/cJSON.h>
#include <cstdint>
#include <memory>
#include <string>

namespace vtxsvc {

struct JsonDeleter
{
    void operator()(cJSON* item) const { cJSON_Delete(item); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

// Parses a request body that must be a JSON object; on failure |error| says why.
JsonPtr ParseObject(const std::string& body, std::string& error);

// Typed reads. A missing field gives |present| = false and no error unless |required|;
// a field of the wrong type always sets |error| (the first error is kept).
class FieldReader
{
public:
    explicit FieldReader(const cJSON* object)
        : m_object(object)
    {}

    bool String(const char* name, std::string& out, bool required = true);
    bool Bool(const char* name, bool& out, bool required = false);
    bool Int(const char* name, int64_t& out, int64_t low, int64_t high, bool required = false);
    // Accepts "true"/"false" strings only (the recurring request sends its options as text).
    bool BoolText(const char* name, bool& out, bool required = true);
    const cJSON* Object(const char* name, bool required = true);

    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    void Fail(const std::string& error)
    {
        if (m_error.empty())
            m_error = error;
    }

private:
    const cJSON* Find(const char* name, bool required);
    const cJSON* m_object;
    std::string m_error;
};

// {"code":code,"msg":msg} with an optional data member (ownership of |data| moves in).
JsonPtr MakeEnvelope(const char* code, const std::string& msg, cJSON* data = nullptr);
std::string Print(const cJSON* item);

// Exact integers for numbers up to 2^53 (meeting numbers and times fit).
cJSON* NumberItem(int64_t value);

} // namespace vtxsvc
