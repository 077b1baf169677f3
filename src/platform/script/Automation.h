// The automation layer: objects whose members are called by name from scripts and from
// other programs (over D-Bus). Each member has a numeric id, a kind (method, put-only
// property, get-only property) and named parameters; every argument arrives as a
// variant value and is converted by the member with the rules below. Names are found
// without regard to letter case. A failing member raises EAutomationError, which carries
// the description, an error code and the source, as an error record does.
#pragma once

#include "graphics/Exception.h"

#include <QVariant>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Error codes of automation failures.
namespace AutomationCode {
constexpr std::int32_t Unexpected = std::int32_t(0x8000FFFF);      // any failure inside a member
constexpr std::int32_t TypeMismatch = std::int32_t(0x80020005);
constexpr std::int32_t Overflow = std::int32_t(0x8002000A);
constexpr std::int32_t BadParamCount = std::int32_t(0x8002000E);
constexpr std::int32_t MemberNotFound = std::int32_t(0x80020003);
constexpr std::int32_t Busy = std::int32_t(0x8001010A);
} // namespace AutomationCode

class EAutomationError : public Exception {
public:
    EAutomationError(const std::string& description, std::int32_t code = AutomationCode::Unexpected,
                     const std::string& source = std::string())
        : Exception(description), Code(code), Source(source) {}
    std::int32_t Code;
    std::string Source;
};

// Conversions of argument values, as the members need them.
// - Integer: whole numbers pass; fractions round to the nearest integer, halves to the
//   even neighbour; a numeric text is read as a number first; true is -1, false 0; an
//   empty value (undefined) is 0. Null, objects, lists and unreadable texts fail with
//   "Type mismatch"; NaN, infinities and values outside 32 bits fail with "Overflow".
// - Real: as Integer without the rounding; NaN and infinities fail with "Overflow"
//   (drawing with them has no meaning).
// - Text: numbers become their decimal text, true/false "True"/"False", empty "".
// - Bool: numbers are true when not 0; the texts "true"/"false" (any case) and numbers.
std::int32_t VariantToInt(const QVariant& v);
double VariantToReal(const QVariant& v);
std::string VariantToText(const QVariant& v);
bool VariantToBool(const QVariant& v);
// A list value (a script array, a D-Bus array) as its elements; fails with "Type
// mismatch" for anything else.
QVariantList VariantToList(const QVariant& v);

enum class TMemberKind { Method, Put, Get };

struct TAutomationMember {
    int DispId = 0;
    std::string Name;
    TMemberKind Kind = TMemberKind::Method;
    std::vector<std::string> Params; // [in] parameters, in order (a put member has one)
    bool HasResult = false;          // an [out, retval] result
    // Called with exactly Params.size() arguments.
    std::function<QVariant(const QVariantList& args)> Invoke;
};

class TAutomationObject {
public:
    TAutomationObject(std::string className, std::string progId) : m_className(std::move(className)), m_progId(std::move(progId)) {}
    virtual ~TAutomationObject() = default;
    TAutomationObject(const TAutomationObject&) = delete;
    TAutomationObject& operator=(const TAutomationObject&) = delete;

    const std::string& ClassName() const { return m_className; }
    const std::string& ProgId() const { return m_progId; }
    const std::vector<TAutomationMember>& Members() const { return m_members; }
    // The member with that dispatch id; nullptr when there is none.
    const TAutomationMember* FindMember(int dispId) const;

    // Calls a member inside the member guard: a wrong number of arguments, a failed
    // conversion or any other failure comes out as EAutomationError with the
    // object's ProgID as source.
    QVariant Invoke(const TAutomationMember& member, const QVariantList& args);

protected:
    void AddMember(TAutomationMember member) { m_members.push_back(std::move(member)); }

private:
    std::string m_className;
    std::string m_progId;
    std::vector<TAutomationMember> m_members;
};
