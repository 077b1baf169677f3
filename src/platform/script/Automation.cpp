#include "Automation.h"

#include "graphics/NumberRules.h"

#include <QJSValue>

#include <cmath>
#include <limits>
#include <new>

namespace {

const char* kTypeMismatch = "Type mismatch";
const char* kOverflow = "Overflow";

bool isEmpty(const QVariant& v)
{
    if (!v.isValid())
        return true;
    if (v.metaType().id() == QMetaType::QVariant)
        return false;
    if (v.userType() == qMetaTypeId<QJSValue>())
        return v.value<QJSValue>().isUndefined();
    return false;
}

bool isNull(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::Nullptr)
        return true;
    if (v.userType() == qMetaTypeId<QJSValue>())
        return v.value<QJSValue>().isNull();
    return false;
}

bool isText(const QVariant& v)
{
    return v.metaType().id() == QMetaType::QString || v.metaType().id() == QMetaType::QByteArray;
}

bool isNumber(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

// A number from a text as the standard conversion reads it: blanks around, a sign,
// digits with an optional decimal point and exponent.
double textToNumber(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || t.isEmpty())
        throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
    return d;
}

// The value as a double, before rounding; fails for what is not a number.
double toDouble(const QVariant& v)
{
    if (isEmpty(v))
        return 0;
    if (isNull(v))
        throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? -1 : 0;
    if (isNumber(v))
        return v.toDouble();
    if (isText(v))
        return textToNumber(v.toString());
    throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
}

} // namespace

std::int32_t VariantToInt(const QVariant& v)
{
    const double d = toDouble(v);
    if (!std::isfinite(d))
        throw EAutomationError(kOverflow, AutomationCode::Overflow);
    const double r = std::nearbyint(d) == d ? d : static_cast<double>(Round(d));
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        throw EAutomationError(kOverflow, AutomationCode::Overflow);
    return static_cast<std::int32_t>(r);
}

double VariantToReal(const QVariant& v)
{
    const double d = toDouble(v);
    if (!std::isfinite(d))
        throw EAutomationError(kOverflow, AutomationCode::Overflow);
    return d;
}

std::string VariantToText(const QVariant& v)
{
    if (isEmpty(v))
        return std::string();
    if (isNull(v))
        throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? "True" : "False";
    if (isText(v))
        return v.toString().toStdString();
    if (isNumber(v)) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return std::to_string(static_cast<long long>(d));
        return QString::number(d, 'g', 15).toStdString();
    }
    throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
}

bool VariantToBool(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    if (isText(v)) {
        const QString t = v.toString().trimmed();
        if (t.compare("true", Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare("false", Qt::CaseInsensitive) == 0)
            return false;
    }
    const double d = toDouble(v);
    if (std::isnan(d))
        throw EAutomationError(kOverflow, AutomationCode::Overflow);
    return d != 0;
}

QVariantList VariantToList(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QVariantList)
        return v.toList();
    if (v.metaType().id() == QMetaType::QStringList) {
        QVariantList list;
        for (const QString& s : v.toStringList())
            list.push_back(s);
        return list;
    }
    if (v.canConvert<QVariantList>() && v.userType() != QMetaType::QString && !isNumber(v)
        && v.metaType().id() != QMetaType::Bool && v.isValid())
        return v.toList();
    throw EAutomationError(kTypeMismatch, AutomationCode::TypeMismatch);
}

const TAutomationMember* TAutomationObject::FindMember(int dispId) const
{
    for (const TAutomationMember& m : m_members)
        if (m.DispId == dispId)
            return &m;
    return nullptr;
}

QVariant TAutomationObject::Invoke(const TAutomationMember& member, const QVariantList& args)
{
    if (static_cast<std::size_t>(args.size()) != member.Params.size())
        throw EAutomationError("Wrong number of arguments or invalid property assignment", AutomationCode::BadParamCount,
                               m_progId);
    try {
        return member.Invoke(args);
    } catch (EAutomationError& e) {
        if (e.Source.empty())
            e.Source = m_progId;
        throw;
    } catch (const std::bad_alloc&) {
        throw EAutomationError("Not enough memory for " + member.Name, AutomationCode::Unexpected, m_progId);
    } catch (const std::exception& e) {
        throw EAutomationError(e.what(), AutomationCode::Unexpected, m_progId);
    }
}
