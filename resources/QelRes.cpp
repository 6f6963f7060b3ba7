// QelRes: reads of the catalogue by id, and the dispatch table that reaches the same members by name or id.
#include "QelRes.h"

#include "Catalogue.h"
#include "CatalogueIds.h"
#include "Module.h"
#include "ResPicture.h"

#include <limits>
#include <new>

namespace qel {
namespace {

using component::DispId;
using component::DispValue;
using component::HResult;
using component::InvokeKind;
namespace hr = component::hr;

// The dispatch table, in interface order; the type library (Qel.typelib.json) says the same.
struct Member {
    QLatin1StringView name;
    DispId id;
    InvokeKind kind;
};
constexpr Member kMembers[] = {
    {QLatin1StringView("Id"), kDispIdId, InvokeKind::PropertyPut},
    {QLatin1StringView("Mode"), kDispIdMode, InvokeKind::PropertyPut},
    {QLatin1StringView("GetResString"), kDispIdGetResString, InvokeKind::PropertyGet},
    {QLatin1StringView("GetResPicture"), kDispIdGetResPicture, InvokeKind::PropertyGet},
    {QLatin1StringView("dType"), kDispIdDType, InvokeKind::PropertyPut},
    {QLatin1StringView("GetResData"), kDispIdGetResData, InvokeKind::PropertyGet},
    {QLatin1StringView("Language"), kDispIdLanguage, InvokeKind::PropertyPut},   // _QelRes2
};

const Member* memberById(DispId id)
{
    for (const Member& member : kMembers) {
        if (member.id == id)
            return &member;
    }
    return nullptr;
}

// A short argument for Id or Mode: a short as is, a long if it fits.
HResult toShort(const DispValue& value, std::int16_t* out)
{
    if (const auto* s = std::get_if<std::int16_t>(&value)) {
        *out = *s;
        return hr::kOk;
    }
    if (const auto* l = std::get_if<std::int32_t>(&value)) {
        if (*l < std::numeric_limits<std::int16_t>::min() || *l > std::numeric_limits<std::int16_t>::max())
            return hr::kOverflow;
        *out = static_cast<std::int16_t>(*l);
        return hr::kOk;
    }
    return hr::kTypeMismatch;
}

}  // namespace

QelRes* QelRes::create() noexcept
{
    return new (std::nothrow) QelRes();
}

QelRes::QelRes() noexcept
{
    module::lock();
}

QelRes::~QelRes()
{
    module::unlock();
}

HResult QelRes::queryInterface(const QUuid& iid, void** object) noexcept
{
    if (!object)
        return hr::kPointer;
    if (iid == _QelRes2::kIid || iid == _QelRes::kIid || iid == kIidQelResV0 || iid == component::IDispatch::kIid
        || iid == component::IUnknown::kIid) {
        *object = static_cast<_QelRes2*>(this);
        addRef();
        return hr::kOk;
    }
    *object = nullptr;
    return hr::kNoInterface;
}

std::uint32_t QelRes::addRef() noexcept
{
    return ++m_references;
}

std::uint32_t QelRes::release() noexcept
{
    const std::uint32_t left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HResult QelRes::Id(std::int16_t value) noexcept
{
    vId = value;
    return hr::kOk;
}

HResult QelRes::Mode(std::int16_t value) noexcept
{
    vMode = value;
    return hr::kOk;
}

HResult QelRes::Language(std::int16_t value) noexcept
{
    vLanguage = value;
    return hr::kOk;
}

HResult QelRes::GetResString(QString* text) noexcept
{
    if (!text)
        return hr::kPointer;
    const catalogue::StringEntry* entry = catalogue::findString(vId, static_cast<std::uint16_t>(vLanguage));
    if (!entry)
        return hr::kResourceNotFound;
    try {
        *text = QStringView(entry->text).toString();  // a copy: the caller must not point into this library
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult QelRes::GetResPicture(component::IPicture** picture) noexcept
{
    if (!picture)
        return hr::kPointer;
    *picture = nullptr;
    const catalogue::DataEntry* entry = nullptr;
    component::PictureKind kind = component::PictureKind::Bitmap;
    if (vMode == kModeBitmap) {
        entry = catalogue::find(catalogue::Type::Bitmap, vId);
    } else if (vMode == kModeIcon) {
        entry = catalogue::find(catalogue::Type::IconGroup, vId);
        kind = component::PictureKind::Icon;
    }
    if (!entry)
        return hr::kResourceNotFound;
    return decodePicture(kind, entry->bytes, picture);
}

HResult QelRes::dType(const QString& value) noexcept
{
    try {
        vdType = value;
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult QelRes::GetResData(QByteArray* bytes) noexcept
{
    if (!bytes)
        return hr::kPointer;
    const catalogue::DataEntry* entry = catalogue::findCustom(vdType, vId);
    if (!entry)
        return hr::kResourceNotFound;
    try {
        *bytes = QByteArray(reinterpret_cast<const char*>(entry->bytes.data()), qsizetype(entry->bytes.size()));
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult QelRes::getTypeInfoCount(std::uint32_t* count) noexcept
{
    if (!count)
        return hr::kPointer;
    *count = 1;
    return hr::kOk;
}

HResult QelRes::getTypeInfo(std::uint32_t index, QByteArray* description) noexcept
{
    if (!description)
        return hr::kPointer;
    if (index != 0)
        return hr::kInvalidArgument;
    const catalogue::DataEntry* entry = catalogue::findCustom(u"TYPELIB", qel::ids::typelib::kQelRes);
    if (!entry)
        return hr::kResourceNotFound;
    try {
        *description = QByteArray(reinterpret_cast<const char*>(entry->bytes.data()), qsizetype(entry->bytes.size()));
        return hr::kOk;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult QelRes::getIdsOfNames(const QStringList& names, QList<DispId>* ids) noexcept
{
    if (!ids)
        return hr::kPointer;
    try {
        ids->clear();
        HResult result = hr::kOk;
        for (const QString& name : names) {
            DispId id = component::kDispIdUnknown;
            for (const Member& member : kMembers) {
                if (name.compare(member.name, Qt::CaseInsensitive) == 0)
                    id = member.id;
            }
            if (id == component::kDispIdUnknown)
                result = hr::kUnknownName;
            ids->append(id);
        }
        return result;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

HResult QelRes::invokePut(DispId member, const DispValue& argument) noexcept
{
    if (member == kDispIdDType) {
        const auto* text = std::get_if<QString>(&argument);
        return text ? dType(*text) : hr::kTypeMismatch;
    }
    std::int16_t value = 0;
    if (const HResult result = toShort(argument, &value); component::failed(result))
        return result;
    if (member == kDispIdLanguage)
        return Language(value);
    return member == kDispIdId ? Id(value) : Mode(value);
}

HResult QelRes::invoke(DispId member, InvokeKind kind, const QList<DispValue>& arguments, DispValue* result) noexcept
{
    const Member* found = memberById(member);
    if (!found || found->kind != kind)
        return hr::kMemberNotFound;
    if (kind == InvokeKind::PropertyPut) {
        if (arguments.size() != 1)
            return hr::kBadParamCount;
        return invokePut(member, arguments.front());
    }
    if (!arguments.isEmpty())
        return hr::kBadParamCount;
    try {
        HResult status = hr::kOk;
        DispValue value;
        if (member == kDispIdGetResString) {
            QString text;
            if (component::succeeded(status = GetResString(&text)))
                value = std::move(text);
        } else if (member == kDispIdGetResData) {
            QByteArray bytes;
            if (component::succeeded(status = GetResData(&bytes)))
                value = std::move(bytes);
        } else {
            component::IPicture* picture = nullptr;
            if (component::succeeded(status = GetResPicture(&picture)))
                value = component::ComPtr<component::IUnknown>::adopt(picture);
        }
        if (component::succeeded(status) && result)
            *result = std::move(value);
        return status;
    } catch (...) {
        return hr::kOutOfMemory;
    }
}

}  // namespace qel
