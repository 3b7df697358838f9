#include "component/tests/component_fixture.h"

using namespace componenttest;
using yolt::machine::PlayerPlug;

namespace {

class Detector : public ComponentTest {
protected:
    struct Seen {
        KVXRModelType model = eMODEL_Unknown;
        std::u16string modelName, manufacturer, fullName, drivePath;
        KVXRSupportFeature features = feature_Basic;
    };

    static Seen Describe(IKVXRDevice* device)
    {
        Seen s;
        BSTR text = nullptr;
        device->get_Model(&s.model);
        device->get_SupportFeature(&s.features);
        device->get_ModelName(&text);
        s.modelName = Text(text);
        device->get_Manufacturer(&text);
        s.manufacturer = Text(text);
        device->get_FullName(&text);
        s.fullName = Text(text);
        device->get_DrivePath(&text);
        s.drivePath = Text(text);
        return s;
    }
};

}  // namespace

TEST_F(Detector, CountsOnePlayerAndDescribesTheLowestDrive)
{
    Start("xp", {PlayerPlug("PX260", 'F'), PlayerPlug("RQ310", 'E')});
    Ref<IKVXRDetect> detector;
    CreateDetector(detector);
    ULONG count = 9;
    ASSERT_EQ(detector->GetDeviceCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(detector->GetDeviceCount(nullptr), E_INVALIDARG);

    Ref<IKVXRDevice> device;
    ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK);
    Seen seen = Describe(device.p);
    EXPECT_EQ(seen.model, eMODEL_RQ310);
    EXPECT_EQ(seen.drivePath, u"E:\\");
    EXPECT_EQ(seen.features, 3);

    IKVXRDevice* untouched = reinterpret_cast<IKVXRDevice*>(0x1234);
    EXPECT_EQ(detector->GetDevice(1, &untouched), S_FALSE);
    EXPECT_EQ(untouched, reinterpret_cast<IKVXRDevice*>(0x1234));
    EXPECT_EQ(detector->GetDevice(0, nullptr), E_POINTER);
}

TEST_F(Detector, DescribesEachModel)
{
    struct Case {
        const char* model;
        char drive;
        KVXRModelType expected;
        const char16_t* fullName;
        int features;
    };
    const Case cases[] = {
        {"PX410", 'G', eMODEL_PX410, u"YOLT PX410 (G:)", 7},
        {"RQ210", 'H', eMODEL_RQ210, u"YOLT RQ210 (H:)", 11},
        {"VN210", 'E', eMODEL_VN210, u"YOLT VN210 (E:)", 1},
        {"PX310", 'E', eMODEL_PX310, u"YOLT PX310 (E:)", 1},
    };
    for (const auto& c : cases) {
        Start("xp", {PlayerPlug(c.model, c.drive)});
        {
            Ref<IKVXRDetect> detector;
            CreateDetector(detector);
            Ref<IKVXRDevice> device;
            ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK) << c.model;
            Seen seen = Describe(device.p);
            EXPECT_EQ(seen.model, c.expected) << c.model;
            EXPECT_EQ(seen.manufacturer, u"YOLT");
            EXPECT_EQ(seen.fullName, c.fullName);
            EXPECT_EQ(seen.drivePath, std::u16string(1, c.drive) + u":\\");
            EXPECT_EQ(seen.features, c.features) << c.model;
        }
        TearDown();
        module = nullptr;
        apartment = false;
    }
}

TEST_F(Detector, DeviceKeepsItsPropertiesAfterUnplug)
{
    Start("xp", {PlayerPlug("PX210", 'E')});
    Ref<IKVXRDetect> detector;
    CreateDetector(detector);
    Ref<IKVXRDevice> device;
    ASSERT_EQ(detector->GetDevice(0, device.Out()), S_OK);
    auto devices = machine->Machine().UsbDevices();
    ASSERT_EQ(devices.size(), 1u);
    ASSERT_TRUE(machine->Machine().DetachUsbDevice(devices[0].deviceId));
    ULONG count = 1;
    ASSERT_EQ(detector->GetDeviceCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    Ref<IKVXRDevice> none;
    EXPECT_EQ(detector->GetDevice(0, none.Out()), S_FALSE);
    Seen seen = Describe(device.p);
    EXPECT_EQ(seen.fullName, u"YOLT PX210 (E:)");
}

TEST_F(Detector, AboutTextAndSharedLocale)
{
    Start("xp", {});
    Ref<IKVXRDetect> first, second;
    CreateDetector(first);
    CreateDetector(second);
    Ref<IKVAbout> about;
    ASSERT_EQ(first->QueryInterface(IID_IKVAbout, about.Void()), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(about->GetAboutString(0, &text), S_OK);
    std::u16string withDefault = Text(text);
    ASSERT_EQ(about->GetAboutString(0x407, &text), S_OK);
    EXPECT_EQ(Text(text), withDefault) << "the locale argument changes nothing";
    EXPECT_EQ(about->GetAboutString(0, nullptr), E_INVALIDARG);

    // ProductName CR LF Comments TAB FileVersion CR LF LegalCopyright CR LF size CR LF path.
    size_t tab = withDefault.find(u'\t');
    ASSERT_NE(tab, std::u16string::npos);
    size_t firstBreak = withDefault.find(u"\r\n");
    ASSERT_LT(firstBreak, tab);
    std::u16string path = ComponentPath();
    ASSERT_GE(withDefault.size(), path.size());
    EXPECT_EQ(withDefault.substr(withDefault.size() - path.size()), path);
    EXPECT_NE(withDefault.find(u"B\r\nZ:\\"), std::u16string::npos) << "the formatted size stands before the path";

    // The 95 family reads the same text through the narrow calls.
    machine->Change([](yolt::machine::MachineDocument& doc) { doc.SetSystem("98se"); });
    FreeLibrary(LoadLibraryW(ComponentPath().c_str()));  // refreshes the component's record
    ASSERT_EQ(about->GetAboutString(0, &text), S_OK);
    EXPECT_EQ(Text(text), withDefault);

    Ref<IKVLocale> locale1, locale2;
    ASSERT_EQ(first->QueryInterface(IID_IKVLocale, locale1.Void()), S_OK);
    ASSERT_EQ(second->QueryInterface(IID_IKVLocale, locale2.Void()), S_OK);
    ULONG value = 99;
    ASSERT_EQ(locale2->GetLocale(&value), S_OK);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(locale1->SetLocale(0x40C), S_OK);
    ASSERT_EQ(locale2->GetLocale(&value), S_OK);
    EXPECT_EQ(value, 0x40Cu);
    EXPECT_EQ(locale2->GetLocale(nullptr), E_INVALIDARG);
    locale1->SetLocale(0);
}
