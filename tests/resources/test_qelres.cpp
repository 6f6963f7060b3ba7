// Tests of QelRes as the game reaches it: created by class id, read by id, through its slots and by dispatch.
#include "Catalogue.h"
#include "CatalogueIds.h"
#include "CreateObject.h"
#include "ExpectedCatalogue.h"
#include "InprocServer.h"
#include "PrivateConfig.h"
#include "QelInterface.h"
#include "QelRes.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

#include <cstring>

using component::ComPtr;
using component::DispId;
using component::DispValue;
using component::HResult;
using component::InvokeKind;
using component::IPicture;
using qel::_QelRes;
namespace hr = component::hr;
namespace registry = component::registry;

Q_DECLARE_METATYPE(component::DispValue)

namespace {

constexpr std::int32_t kUnusedStringId = 4;   // an id under which the catalogue files no string
constexpr QUuid kUnknownId{0x0badc0de, 0x1111, 0x4222, 0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66};

ComPtr<_QelRes> newObject()
{
    return component::createObject<_QelRes>(qel::kClsidQelRes);
}

ComPtr<IPicture> readPicture(const ComPtr<_QelRes>& object, HResult* result)
{
    IPicture* picture = nullptr;
    *result = object->GetResPicture(&picture);
    return ComPtr<IPicture>::adopt(picture);
}

QByteArray catalogueBytes(const char16_t* type, int id)
{
    const auto* entry = qel::catalogue::findCustom(type, id);
    return entry ? QByteArray(reinterpret_cast<const char*>(entry->bytes.data()), qsizetype(entry->bytes.size()))
                 : QByteArray();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The vtable slot a virtual member function occupies (Itanium C++ ABI: 1 + byte offset).
template <class Member>
std::ptrdiff_t slotOf(Member member)
{
    static_assert(sizeof(Member) == 2 * sizeof(void*));
    std::ptrdiff_t raw = 0;
    std::memcpy(&raw, &member, sizeof raw);
    return (raw - 1) / std::ptrdiff_t(sizeof(void*));
}

}  // namespace

class QelResTest : public QObject {
    Q_OBJECT

private:
    template <class Fn>
    Fn entryPoint(const char* name)
    {
        return reinterpret_cast<Fn>(::dlsym(m_library, name));
    }
    HResult canUnloadNow() { return entryPoint<component::DllCanUnloadNowFn>(component::kDllCanUnloadNow)(); }
    ComPtr<component::IClassFactory> factory()
    {
        void* raw = nullptr;
        const HResult result = entryPoint<component::DllGetClassObjectFn>(component::kDllGetClassObject)(
            qel::kClsidQelRes, component::IClassFactory::kIid, &raw);
        return component::succeeded(result) ? ComPtr<component::IClassFactory>::adopt(static_cast<component::IClassFactory*>(raw))
                                 : ComPtr<component::IClassFactory>();
    }
    // Points the registry at a folder of its own for one test and back again afterwards.
    using OwnRegistry = PrivateConfig;

    QTemporaryDir m_dir;
    QString m_libraryPath;
    void* m_library = nullptr;

private slots:
    // The library under test is a copy in a private folder, registered in a private registry.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        UseConfigHome(m_dir.filePath(QStringLiteral("config")));
        m_libraryPath = QDir(m_dir.path()).canonicalPath() + QStringLiteral("/libQel.so");
        QVERIFY(QFile::copy(QStringLiteral(QEL_LIBRARY), m_libraryPath));
        QVERIFY(QFile::setPermissions(m_libraryPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                         | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther));
        m_library = ::dlopen(QFile::encodeName(m_libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(m_library, dlerror());
        QCOMPARE(entryPoint<component::DllRegisterServerFn>(component::kDllRegisterServer)(), hr::kOk);
    }

    void stringsAreReadById_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("language");   // 0: Language not set
        QTest::addColumn<QString>("text");
        // A language without strings (French, 1036) reads Japanese, as English does where it has none.
        for (const int language : {0, int(qel::kLanguageJapanese), int(qel::kLanguageEnglish), 1036}) {
            for (const ExpectedString& expected : kExpectedStrings) {
                const bool english = language == qel::kLanguageEnglish && expected.english;
                QTest::addRow("%d in %d", expected.id, language)
                    << expected.id << language << QString::fromUtf8(english ? expected.english : expected.utf8);
            }
        }
    }
    void stringsAreReadById()
    {
        QFETCH(int, id);
        QFETCH(int, language);
        QFETCH(QString, text);
        const auto object = newObject();
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        if (language)
            QCOMPARE(object.as<qel::_QelRes2>()->Language(std::int16_t(language)), hr::kOk);
        QString read;
        QCOMPARE(object->GetResString(&read), hr::kOk);
        QCOMPARE(read, text);
        QString again;
        QCOMPARE(object->GetResString(&again), hr::kOk);
        QCOMPARE(again, text);
    }

    void absentStringsFailAndDeliverNothing_data()
    {
        QTest::addColumn<int>("id");
        for (int id : {4, 0, -1, 1, 2, 10, 36, 99, 103, 300, 305, 999, 32767, -32768})
            QTest::addRow("%d", id) << id;
    }
    void absentStringsFailAndDeliverNothing()
    {
        QFETCH(int, id);
        const auto object = newObject();
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        QString text = QStringLiteral("untouched");
        QCOMPARE(object->GetResString(&text), hr::kResourceNotFound);
        QCOMPARE(text, QStringLiteral("untouched"));
    }

    void bitmapsComeAtTheirStoredSizeAndDepth_data()
    {
        AddExpectedBitmapRows();
    }
    void bitmapsComeAtTheirStoredSizeAndDepth()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        QFETCH(int, height);
        const auto object = newObject();
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        QCOMPARE(object->Mode(qel::kModeBitmap), hr::kOk);
        HResult result = hr::kFail;
        const auto picture = readPicture(object, &result);
        QCOMPARE(result, hr::kOk);
        QVERIFY(picture);
        QCOMPARE(picture->kind(), component::PictureKind::Bitmap);
        QCOMPARE(picture->width(), width);
        QCOMPARE(picture->height(), height);
        const QImage image = picture->image();
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.colorCount(), 256);
        QCOMPARE(image.dotsPerMeterX(), 2835);
        QCOMPARE(image.dotsPerMeterY(), 2835);
    }

    void iconComesWithItsMaskAsAlpha()
    {
        const auto object = newObject();
        QCOMPARE(object->Id(kIconGroupId), hr::kOk);
        QCOMPARE(object->Mode(qel::kModeIcon), hr::kOk);
        HResult result = hr::kFail;
        const auto picture = readPicture(object, &result);
        QCOMPARE(result, hr::kOk);
        QCOMPARE(picture->kind(), component::PictureKind::Icon);
        QCOMPARE(picture->width(), kIconSize);
        QCOMPARE(picture->height(), kIconSize);
        const QImage image = picture->image();
        QVERIFY(image.hasAlphaChannel());
        int transparent = 0;
        QSet<QRgb> opaqueColours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255, "a mask is all or nothing");
                if (qAlpha(pixel) == 0)
                    ++transparent;
                else
                    opaqueColours.insert(pixel);
            }
        }
        QVERIFY2(transparent > 0, "the lifted tile leaves see-through pixels");
        QVERIFY(!opaqueColours.isEmpty());
        QVERIFY(opaqueColours.size() <= 16);
    }

    void pictureReadsOfWhatIsNotThereFail_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("mode");
        QTest::newRow("icon group 999 read as a bitmap") << kIconGroupId << int(qel::kModeBitmap);
        QTest::newRow("bitmap 12 read as an icon") << 12 << int(qel::kModeIcon);
        QTest::newRow("999 as a cursor") << kIconGroupId << int(qel::kModeCursor);
        QTest::newRow("12 as a cursor") << 12 << int(qel::kModeCursor);
        QTest::newRow("unknown mode -1") << 12 << -1;
        QTest::newRow("unknown mode 3") << 12 << 3;
        QTest::newRow("id 0") << 0 << int(qel::kModeBitmap);
        QTest::newRow("id -1 as a bitmap") << -1 << int(qel::kModeBitmap);
        QTest::newRow("id -1 as an icon") << -1 << int(qel::kModeIcon);
        QTest::newRow("string-only id 7") << 7 << int(qel::kModeBitmap);
    }
    void pictureReadsOfWhatIsNotThereFail()
    {
        QFETCH(int, id);
        QFETCH(int, mode);
        const auto object = newObject();
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        QCOMPARE(object->Mode(std::int16_t(mode)), hr::kOk);
        IPicture* picture = reinterpret_cast<IPicture*>(0x1);
        QCOMPARE(object->GetResPicture(&picture), hr::kResourceNotFound);
        QCOMPARE(picture, nullptr);
    }

    void aFreshObjectLooksForIdZero()
    {
        const auto object = newObject();
        QString text;
        QCOMPARE(object->GetResString(&text), hr::kResourceNotFound);
        HResult result = hr::kOk;
        QVERIFY(!readPicture(object, &result));
        QCOMPARE(result, hr::kResourceNotFound);
        QByteArray bytes;
        QCOMPARE(object->GetResData(&bytes), hr::kResourceNotFound);
    }

    void failedReadsLeaveTheObjectAsItWas()
    {
        const auto object = newObject();
        QCOMPARE(object->Id(kIconGroupId), hr::kOk);
        HResult result = hr::kOk;
        QVERIFY(!readPicture(object, &result));  // no bitmap 999
        QCOMPARE(result, hr::kResourceNotFound);
        QCOMPARE(object->Mode(qel::kModeIcon), hr::kOk);
        QVERIFY(readPicture(object, &result));   // the id is still 999
        QCOMPARE(result, hr::kOk);

        QCOMPARE(object->Id(kUnusedStringId), hr::kOk);
        QString text;
        QCOMPARE(object->GetResString(&text), hr::kResourceNotFound);
        QCOMPARE(object->GetResString(&text), hr::kResourceNotFound);
        QCOMPARE(object->dType(QStringLiteral("TYPELIB")), hr::kOk);
        QCOMPARE(object->Id(qel::ids::typelib::kQelRes), hr::kOk);
        QByteArray bytes;
        QCOMPARE(object->GetResData(&bytes), hr::kOk);
        QCOMPARE(object->GetResData(&bytes), hr::kOk);  // dType kept too
    }

    void idIsHeldSignExtended_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("isAString");
        QTest::newRow("-1 stays -1") << -1 << false;
        QTest::newRow("-32768") << -32768 << false;
        QTest::newRow("32767") << 32767 << false;
        QTest::newRow("7") << 7 << true;
    }
    void idIsHeldSignExtended()
    {
        QFETCH(int, id);
        QFETCH(bool, isAString);
        qel::QelRes* object = qel::QelRes::create();
        QVERIFY(object);
        QCOMPARE(object->heldId(), 0);
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        QCOMPARE(object->heldId(), std::int32_t(id));
        QString text;
        QCOMPARE(object->GetResString(&text), isAString ? hr::kOk : hr::kResourceNotFound);
        QCOMPARE(object->heldId(), std::int32_t(id));
        object->release();
    }

    void everyPictureReadMakesANewObject()
    {
        const auto object = newObject();
        QCOMPARE(object->Id(qel::ids::bmp::kMenuButton), hr::kOk);
        HResult result = hr::kFail;
        auto first = readPicture(object, &result);
        const auto second = readPicture(object, &result);
        QVERIFY(first && second);
        QVERIFY(first.get() != second.get());
        QCOMPARE(first->image(), second->image());
        QVERIFY(!first->image().isNull());
        const QImage kept = second->image();
        first.reset();
        QCOMPARE(second->image(), kept);  // releasing one leaves the other whole
    }

    void customDataIsReadByTypeNameAndId_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("expected");  // null: the read must fail
        const QByteArray typeLibrary = catalogueBytes(u"TYPELIB", 1);
        const QByteArray iids = catalogueBytes(u"_IID_QELRES", 1);
        QVERIFY(!typeLibrary.isEmpty() && iids.size() == 36);
        QTest::newRow("TYPELIB 1") << "TYPELIB" << 1 << typeLibrary;
        QTest::newRow("typelib 1") << "typelib" << 1 << typeLibrary;
        QTest::newRow("_IID_QELRES 1") << "_IID_QELRES" << 1 << iids;
        QTest::newRow("empty type") << "" << 1 << QByteArray();
        QTest::newRow("TYPELIB 0") << "TYPELIB" << 0 << QByteArray();
        QTest::newRow("TYPELIB -1") << "TYPELIB" << -1 << QByteArray();
        QTest::newRow("bitmap 12 is no custom type") << "BITMAP" << 12 << QByteArray();
    }
    void customDataIsReadByTypeNameAndId()
    {
        QFETCH(QString, type);
        QFETCH(int, id);
        QFETCH(QByteArray, expected);
        const auto object = newObject();
        QCOMPARE(object->dType(type), hr::kOk);
        QCOMPARE(object->Id(std::int16_t(id)), hr::kOk);
        QByteArray bytes = "untouched";
        QCOMPARE(object->GetResData(&bytes), expected.isNull() ? hr::kResourceNotFound : hr::kOk);
        QCOMPARE(bytes, expected.isNull() ? QByteArray("untouched") : expected);
    }

    void objectAnswersBothInterfaceIds_data()
    {
        QTest::addColumn<QUuid>("iid");
        QTest::addColumn<bool>("answers");
        QTest::newRow("_QelRes") << _QelRes::kIid << true;
        QTest::newRow("the earlier _QelRes id") << qel::kIidQelResV0 << true;
        QTest::newRow("_QelRes2") << qel::_QelRes2::kIid << true;
        QTest::newRow("IDispatch") << component::IDispatch::kIid << true;
        QTest::newRow("IUnknown") << component::IUnknown::kIid << true;
        QTest::newRow("IClassFactory") << component::IClassFactory::kIid << false;
        QTest::newRow("IPicture") << IPicture::kIid << false;
        QTest::newRow("an unknown id") << kUnknownId << false;
    }
    void objectAnswersBothInterfaceIds()
    {
        QFETCH(QUuid, iid);
        QFETCH(bool, answers);
        const auto object = newObject();
        void* raw = reinterpret_cast<void*>(0x1);
        QCOMPARE(object->queryInterface(iid, &raw), answers ? hr::kOk : hr::kNoInterface);
        if (!answers) {
            QCOMPARE(raw, nullptr);
            return;
        }
        const auto identity = object.as<component::IUnknown>();
        const auto answered = ComPtr<component::IUnknown>::adopt(static_cast<component::IUnknown*>(raw));
        QCOMPARE(answered.as<component::IUnknown>().get(), identity.get());
    }

    void libraryCanUnloadOnlyAfterTheLastRelease()
    {
        QCOMPARE(canUnloadNow(), hr::kOk);
        auto object = newObject();
        QCOMPARE(canUnloadNow(), hr::kFalse);
        QCOMPARE(object->Id(qel::ids::bmp::kMenuButton), hr::kOk);
        HResult result = hr::kFail;
        auto picture = readPicture(object, &result);
        object.reset();
        QCOMPARE(canUnloadNow(), hr::kFalse);  // the picture still needs the library's code
        picture.reset();
        QCOMPARE(canUnloadNow(), hr::kOk);

        auto classFactory = factory();
        QVERIFY(classFactory);
        QCOMPARE(canUnloadNow(), hr::kFalse);
        QCOMPARE(classFactory->lockServer(true), hr::kOk);
        auto* unlocked = classFactory.get();
        classFactory.detach()->release();
        QCOMPARE(canUnloadNow(), hr::kFalse);  // locked, though no reference is left
        QCOMPARE(unlocked->lockServer(false), hr::kOk);
        QCOMPARE(canUnloadNow(), hr::kOk);
    }

    void namesMapToTheDispatchIds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("dispId");
        QTest::newRow("GetResPicture") << "GetResPicture" << 0x68030000;
        QTest::newRow("GetResString") << "GetResString" << 0x68030001;
        QTest::newRow("Mode") << "Mode" << 0x68030002;
        QTest::newRow("Id") << "Id" << 0x68030003;
        QTest::newRow("GetResData") << "GetResData" << 0x68030004;
        QTest::newRow("dType") << "dType" << 0x68030005;
        QTest::newRow("Language") << "Language" << 0x68030006;
        QTest::newRow("names ignore case") << "getresstring" << 0x68030001;
        QTest::newRow("ID") << "ID" << 0x68030003;
        QTest::newRow("unknown name") << "GetResNothing" << int(component::kDispIdUnknown);
    }
    void namesMapToTheDispatchIds()
    {
        QFETCH(QString, name);
        QFETCH(int, dispId);
        const auto dispatch = newObject().as<component::IDispatch>();
        QList<DispId> ids;
        QCOMPARE(dispatch->getIdsOfNames({name}, &ids),
                 dispId == component::kDispIdUnknown ? hr::kUnknownName : hr::kOk);
        QCOMPARE(ids, QList<DispId>{dispId});
    }

    void dispatchReachesTheSameMembers()
    {
        const auto dispatch = newObject().as<component::IDispatch>();
        DispValue result;
        QCOMPARE(dispatch->invoke(qel::kDispIdId, InvokeKind::PropertyPut, {std::int16_t(7)}, nullptr), hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdGetResString, InvokeKind::PropertyGet, {}, &result), hr::kOk);
        QCOMPARE(std::get<QString>(result), QStringLiteral("画像選択"));
        QCOMPARE(dispatch->invoke(qel::kDispIdLanguage, InvokeKind::PropertyPut, {qel::kLanguageEnglish}, nullptr), hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdGetResString, InvokeKind::PropertyGet, {}, &result), hr::kOk);
        QCOMPARE(std::get<QString>(result), QStringLiteral("Select Picture"));

        QCOMPARE(dispatch->invoke(qel::kDispIdId, InvokeKind::PropertyPut, {std::int32_t(kIconGroupId)}, nullptr), hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdMode, InvokeKind::PropertyPut, {qel::kModeIcon}, nullptr), hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdGetResPicture, InvokeKind::PropertyGet, {}, &result), hr::kOk);
        const auto picture = std::get<ComPtr<component::IUnknown>>(result).as<IPicture>();
        QVERIFY(picture);
        QCOMPARE(picture->kind(), component::PictureKind::Icon);

        QCOMPARE(dispatch->invoke(qel::kDispIdDType, InvokeKind::PropertyPut, {QStringLiteral("_IID_QELRES")}, nullptr),
                 hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdId, InvokeKind::PropertyPut, {std::int16_t(1)}, nullptr), hr::kOk);
        QCOMPARE(dispatch->invoke(qel::kDispIdGetResData, InvokeKind::PropertyGet, {}, &result), hr::kOk);
        QCOMPARE(std::get<QByteArray>(result), catalogueBytes(u"_IID_QELRES", 1));

        QCOMPARE(dispatch->invoke(qel::kDispIdId, InvokeKind::PropertyPut, {std::int16_t(4)}, nullptr), hr::kOk);
        result = QStringLiteral("untouched");
        QCOMPARE(dispatch->invoke(qel::kDispIdGetResString, InvokeKind::PropertyGet, {}, &result), hr::kResourceNotFound);
        QCOMPARE(std::get<QString>(result), QStringLiteral("untouched"));
    }

    void invokeRefusesMisuse_data()
    {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<DispValue>>("arguments");
        QTest::addColumn<int>("expected");
        const int put = int(InvokeKind::PropertyPut);
        const int get = int(InvokeKind::PropertyGet);
        const QList<DispValue> none;
        QTest::newRow("get of a put-only member") << qel::kDispIdId << get << none << int(hr::kMemberNotFound);
        QTest::newRow("put of a read-only member") << qel::kDispIdGetResString << put << QList<DispValue>{QString()}
                                                   << int(hr::kMemberNotFound);
        QTest::newRow("unknown dispatch id") << 0x68030006 << get << none << int(hr::kMemberNotFound);
        QTest::newRow("put without a value") << qel::kDispIdId << put << none << int(hr::kBadParamCount);
        QTest::newRow("get with a value") << qel::kDispIdGetResString << get << QList<DispValue>{std::int16_t(1)}
                                          << int(hr::kBadParamCount);
        QTest::newRow("Id given text") << qel::kDispIdId << put << QList<DispValue>{QStringLiteral("7")}
                                       << int(hr::kTypeMismatch);
        QTest::newRow("Id given 32768") << qel::kDispIdId << put << QList<DispValue>{std::int32_t(32768)}
                                        << int(hr::kOverflow);
        QTest::newRow("Id given -32768 as a long") << qel::kDispIdId << put << QList<DispValue>{std::int32_t(-32768)}
                                                   << int(hr::kOk);
    }
    void invokeRefusesMisuse()
    {
        QFETCH(int, dispId);
        QFETCH(int, kind);
        QFETCH(QList<DispValue>, arguments);
        QFETCH(int, expected);
        const auto dispatch = newObject().as<component::IDispatch>();
        DispValue result;
        QCOMPARE(dispatch->invoke(dispId, InvokeKind(kind), arguments, &result), HResult(expected));
        QVERIFY(std::holds_alternative<std::monostate>(result));
    }

    void typeLibraryDescribesTheInterfaceAsBuilt()
    {
        const auto object = newObject();
        QCOMPARE(object->dType(QStringLiteral("TYPELIB")), hr::kOk);
        QCOMPARE(object->Id(qel::ids::typelib::kQelRes), hr::kOk);
        QByteArray bytes;
        QCOMPARE(object->GetResData(&bytes), hr::kOk);
        QByteArray typeInfo;
        std::uint32_t count = 0;
        QCOMPARE(object->getTypeInfoCount(&count), hr::kOk);
        QCOMPARE(count, 1u);
        QCOMPARE(object->getTypeInfo(0, &typeInfo), hr::kOk);
        QCOMPARE(typeInfo, bytes);

        QJsonParseError error{};
        const QJsonObject root = QJsonDocument::fromJson(bytes, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject library = root["library"].toObject();
        QCOMPARE(library["name"].toString(), QStringLiteral("Qel"));
        QCOMPARE(library["helpString"].toString(), QStringLiteral("Qel DLL"));
        QCOMPARE(library["version"].toString(), QStringLiteral("1.1"));
        QCOMPARE(QUuid::fromString(library["id"].toString()), qel::kLibidQel);

        const QJsonObject interface = root["interfaces"].toArray().at(0).toObject();
        QCOMPARE(interface["name"].toString(), QStringLiteral("_QelRes"));
        QCOMPARE(QUuid::fromString(interface["id"].toString()), _QelRes::kIid);
        QCOMPARE(interface["version"].toString(), QStringLiteral("1.1"));
        QVERIFY(interface["flags"].toArray().contains(QStringLiteral("dual")));
        QVERIFY(interface["flags"].toArray().contains(QStringLiteral("hidden")));
        QCOMPARE(interface["base"].toString(), QStringLiteral("IDispatch"));

        // The members in slot order, with the slots the header really gives them.
        const std::ptrdiff_t memberSlots[] = {slotOf(&_QelRes::Id), slotOf(&_QelRes::Mode), slotOf(&_QelRes::GetResString),
                                        slotOf(&_QelRes::GetResPicture), slotOf(&_QelRes::dType),
                                        slotOf(&_QelRes::GetResData)};
        QCOMPARE(slotOf(&component::IDispatch::invoke), std::ptrdiff_t(6));
        QStringList names;
        const QJsonArray members = interface["members"].toArray();
        QCOMPARE(members.size(), 6);
        for (int i = 0; i < members.size(); ++i) {
            const QJsonObject member = members.at(i).toObject();
            names << member["name"].toString();
            QCOMPARE(member["slot"].toInt(), int(memberSlots[i]));
            QList<DispId> ids;
            QCOMPARE(object->getIdsOfNames({names.last()}, &ids), hr::kOk);
            QCOMPARE(member["dispId"].toString().toUInt(nullptr, 16), quint32(ids.at(0)));
            const bool isPut = member["kind"].toString() == QStringLiteral("propput");
            QCOMPARE(isPut, names.last() == "Id" || names.last() == "Mode" || names.last() == "dType");
        }
        QCOMPARE(names, (QStringList{"Id", "Mode", "GetResString", "GetResPicture", "dType", "GetResData"}));

        // _QelRes2: _QelRes and its language, in the slot after _QelRes's last.
        const QJsonObject second = root["interfaces"].toArray().at(1).toObject();
        QCOMPARE(QUuid::fromString(second["id"].toString()), qel::_QelRes2::kIid);
        const QJsonObject language = second["members"].toArray().at(0).toObject();
        QCOMPARE(language["slot"].toInt(), int(slotOf(&qel::_QelRes2::Language)));

        const QJsonObject alias = root["aliases"].toArray().at(0).toObject();
        QCOMPARE(alias["name"].toString(), QStringLiteral("QelRes___v0"));
        QCOMPARE(QUuid::fromString(alias["id"].toString()), qel::kIidQelResV0);
        QCOMPARE(alias["version"].toString(), QStringLiteral("1.0"));

        const QJsonObject coclass = root["classes"].toArray().at(0).toObject();
        QCOMPARE(coclass["name"].toString(), QStringLiteral("QelRes"));
        QCOMPARE(QUuid::fromString(coclass["id"].toString()), qel::kClsidQelRes);
        for (const char* flag : {"appobject", "predeclid", "cancreate"})
            QVERIFY2(coclass["flags"].toArray().contains(QString::fromLatin1(flag)), flag);
    }

    void registrationIsUndoneExactly_data()
    {
        QTest::addColumn<bool>("otherClassBefore");
        QTest::addColumn<int>("registrations");
        QTest::newRow("no registry before") << false << 1;
        QTest::newRow("another class registered before") << true << 1;
        QTest::newRow("registered twice") << true << 2;
    }
    void registrationIsUndoneExactly()
    {
        QFETCH(bool, otherClassBefore);
        QFETCH(int, registrations);
        const OwnRegistry own;
        const QString file = registry::userFile();
        if (otherClassBefore) {
            QCOMPARE(registry::setValues(file, {{{"CLSID", "{11111111-2222-3333-4444-555555555555}", "InprocServer32"},
                                                 "", "/usr/lib/other.so"},
                                                {{"Other.Class", "CLSID"}, "", "{11111111-2222-3333-4444-555555555555}"}}),
                     hr::kOk);
        }
        const bool existedBefore = QFile::exists(file);
        const QByteArray before = readAll(file);

        for (int i = 0; i < registrations; ++i)
            QCOMPARE(entryPoint<component::DllRegisterServerFn>(component::kDllRegisterServer)(), hr::kOk);
        const QString clsid = component::guidText(qel::kClsidQelRes);
        const QString libid = component::guidText(qel::kLibidQel);
        const QString iid = component::guidText(_QelRes::kIid);
        const struct {
            QStringList key;
            QString name;
            QString data;
        } expected[] = {
            {{"CLSID", clsid, "InprocServer32"}, "", m_libraryPath},
            {{"CLSID", clsid, "InprocServer32"}, "ThreadingModel", "Apartment"},
            {{"CLSID", clsid, "ProgID"}, "", "Qel.QelRes"},
            {{"Qel.QelRes", "CLSID"}, "", clsid},
            {{"TypeLib", libid, "1.1"}, "", "Qel DLL"},
            {{"TypeLib", libid, "1.1", "0", QStringLiteral("linux%1").arg(QT_POINTER_SIZE * 8)}, "", m_libraryPath},
            {{"Interface", iid}, "", "_QelRes"},
            {{"Interface", iid, "ProxyStubClsid32"}, "", "{00020424-0000-0000-C000-000000000046}"},
            {{"Interface", iid, "TypeLib"}, "Version", "1.1"},
        };
        for (const auto& value : expected) {
            QString data;
            QCOMPARE(registry::readValue(value.key, value.name, &data), hr::kOk);
            QCOMPARE(data, value.data);
        }

        QCOMPARE(entryPoint<component::DllUnregisterServerFn>(component::kDllUnregisterServer)(), hr::kOk);
        QCOMPARE(QFile::exists(file), existedBefore);
        QCOMPARE(readAll(file), before);
    }

    void registrationLeavesADamagedRegistryAlone()
    {
        const OwnRegistry own;
        const QString file = registry::userFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        const QByteArray garbage("{\"CLSID\": [\x01\x02");
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(garbage);
        }
        QCOMPARE(entryPoint<component::DllRegisterServerFn>(component::kDllRegisterServer)(), hr::kRegistryDamaged);
        QCOMPARE(entryPoint<component::DllUnregisterServerFn>(component::kDllUnregisterServer)(), hr::kRegistryDamaged);
        QCOMPARE(readAll(file), garbage);
    }
};

QTEST_GUILESS_MAIN(QelResTest)
#include "test_qelres.moc"
