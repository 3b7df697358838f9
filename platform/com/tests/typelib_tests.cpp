#include <gtest/gtest.h>

#include <string>

#include "platform/base/bstr.h"
#include "platform/com/typelib_format.h"
#include "sample_library.h"

using namespace sample;

namespace {

std::u16string Take(BSTR text)
{
    std::u16string result = text ? std::u16string(text, SysStringLen(text)) : u"";
    SysFreeString(text);
    return result;
}

class SampleLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib = LoadSample();
        ASSERT_NE(lib, nullptr);
        ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_ISample, &info), S_OK);
    }
    void TearDown() override
    {
        if (info)
            info->Release();
        if (lib)
            lib->Release();
    }
    ITypeLib* lib = nullptr;
    ITypeInfo* info = nullptr;
};

TEST_F(SampleLibrary, DescribesTheLibraryAndItsTypes)
{
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_SampleLib);
    EXPECT_EQ(attr->wMajorVerNum, 2);
    EXPECT_EQ(attr->wMinorVerNum, 3);
    EXPECT_EQ(attr->lcid, 0u);
    lib->ReleaseTLibAttr(attr);

    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(name), u"SampleLib");
    EXPECT_EQ(Take(doc), u"Sample Type Library");

    ASSERT_EQ(lib->GetTypeInfoCount(), 3u);
    const TYPEKIND kinds[] = {TKIND_ENUM, TKIND_DISPATCH, TKIND_COCLASS};
    for (UINT i = 0; i < 3; ++i) {
        TYPEKIND kind;
        ASSERT_EQ(lib->GetTypeInfoType(i, &kind), S_OK);
        EXPECT_EQ(kind, kinds[i]);
    }
    ITypeInfo* none = nullptr;
    EXPECT_EQ(lib->GetTypeInfo(3, &none), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(lib->GetTypeInfoOfGuid(LIBID_SampleLib, &none), TYPE_E_ELEMENTNOTFOUND);

    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->guid, IID_ISample);
    EXPECT_EQ(type->cFuncs, 11);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDISPATCHABLE);
    EXPECT_EQ(type->cbSizeVft, 18 * sizeof(void*));
    info->ReleaseTypeAttr(type);
}

TEST_F(SampleLibrary, DescribesFunctionsWithSlotsAndParameterTypes)
{
    FUNCDESC* add = nullptr;
    ASSERT_EQ(info->GetFuncDesc(2, &add), S_OK);
    EXPECT_EQ(add->memid, 2);
    EXPECT_EQ(add->invkind, INVOKE_FUNC);
    EXPECT_EQ(add->oVft, static_cast<SHORT>(9 * sizeof(void*)));
    ASSERT_EQ(add->cParams, 3);
    EXPECT_EQ(add->lprgelemdescParam[0].tdesc.vt, VT_I2);
    EXPECT_EQ(add->lprgelemdescParam[1].tdesc.vt, VT_I4);
    EXPECT_EQ(add->lprgelemdescParam[2].tdesc.vt, VT_PTR);
    EXPECT_EQ(add->lprgelemdescParam[2].tdesc.lptdesc->vt, VT_I4);
    EXPECT_EQ(add->lprgelemdescParam[2].paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    info->ReleaseFuncDesc(add);

    // Self([out] ISample** me): two pointer levels in front of a reference to the interface.
    FUNCDESC* self = nullptr;
    ASSERT_EQ(info->GetFuncDesc(8, &self), S_OK);
    const TYPEDESC& outer = self->lprgelemdescParam[0].tdesc;
    ASSERT_EQ(outer.vt, VT_PTR);
    ASSERT_EQ(outer.lptdesc->vt, VT_PTR);
    ASSERT_EQ(outer.lptdesc->lptdesc->vt, VT_USERDEFINED);
    ITypeInfo* referenced = nullptr;
    ASSERT_EQ(info->GetRefTypeInfo(outer.lptdesc->lptdesc->hreftype, &referenced), S_OK);
    EXPECT_EQ(referenced, info);
    referenced->Release();
    info->ReleaseFuncDesc(self);

    EXPECT_EQ(info->GetFuncDesc(11, &self), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(SampleLibrary, DescribesEnumeratorsAndClassMembers)
{
    ITypeInfo* color = nullptr;
    ASSERT_EQ(lib->GetTypeInfo(0, &color), S_OK);
    VARDESC* green = nullptr;
    ASSERT_EQ(color->GetVarDesc(1, &green), S_OK);
    EXPECT_EQ(green->varkind, VAR_CONST);
    EXPECT_EQ(green->lpvarValue->lVal, 2);
    BSTR name = nullptr;
    ASSERT_EQ(color->GetDocumentation(green->memid, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(name), u"Green");
    color->ReleaseVarDesc(green);
    color->Release();

    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_Sample, &coclass), S_OK);
    HREFTYPE ref = 0;
    INT flags = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    ITypeInfo* implemented = nullptr;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, &implemented), S_OK);
    EXPECT_EQ(implemented, info);
    implemented->Release();
    EXPECT_EQ(coclass->GetRefTypeOfImplType(1, &ref), TYPE_E_ELEMENTNOTFOUND);
    coclass->Release();
}

TEST_F(SampleLibrary, FindsMembersAndParametersByNameWithoutRegardToCase)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"aDD"), const_cast<LPOLESTR>(u"B"), const_cast<LPOLESTR>(u"a")};
    MEMBERID ids[3];
    ASSERT_EQ(info->GetIDsOfNames(names, 3, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);

    LPOLESTR unknownParam[] = {const_cast<LPOLESTR>(u"Add"), const_cast<LPOLESTR>(u"c")};
    EXPECT_EQ(info->GetIDsOfNames(unknownParam, 2, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Adder")};
    EXPECT_EQ(info->GetIDsOfNames(unknown, 1, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);

    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(name), u"Count");
    EXPECT_EQ(Take(doc), u"property Count");
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Take(name), u"ISample");
    EXPECT_EQ(Take(doc), u"ISample Interface");

    BSTR list[4] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(2, list, 4, &count), S_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(Take(list[0]), u"Add");
    EXPECT_EQ(Take(list[1]), u"a");
    EXPECT_EQ(Take(list[2]), u"b");
    EXPECT_EQ(Take(list[3]), u"sum");
}

// Damaged libraries: each case changes the compiled sample and names the error it must give.
TEST(LoadTypeLib, RejectsDamagedLibraries)
{
    using namespace yolt::tlb;
    const std::vector<BYTE> good = ReadSampleBytes();
    ASSERT_GT(good.size(), kHeaderSize);
    const size_t types = kHeaderSize;
    const size_t functions = types + GetU32(&good[kHeaderTypeCount]) * kTypeSize;
    const size_t parameters = functions + GetU32(&good[kHeaderFunctionCount]) * kFunctionSize;
    const size_t constants = parameters + GetU32(&good[kHeaderParameterCount]) * kParameterSize;
    const size_t impls = constants + GetU32(&good[kHeaderConstantCount]) * kConstantSize;

    struct Case {
        const char* name;
        void (*damage)(std::vector<BYTE>&, size_t at);
        size_t at;
        HRESULT expected;
    } cases[] = {
        {"shorter than a header", [](std::vector<BYTE>& b, size_t) { b.resize(10); }, 0, TYPE_E_UNSUPFORMAT},
        {"another magic", [](std::vector<BYTE>& b, size_t) { b[0] = 'X'; }, 0, TYPE_E_UNSUPFORMAT},
        {"a later format version", [](std::vector<BYTE>& b, size_t) { PutU16(&b[kHeaderVersion], 2); }, 0, TYPE_E_UNSUPFORMAT},
        {"one byte missing", [](std::vector<BYTE>& b, size_t) { b.pop_back(); }, 0, TYPE_E_INVDATAREAD},
        {"one byte too many", [](std::vector<BYTE>& b, size_t) { b.push_back(0); }, 0, TYPE_E_INVDATAREAD},
        {"type count beyond the data", [](std::vector<BYTE>& b, size_t) { PutU32(&b[kHeaderTypeCount], 0x10000000); }, 0, TYPE_E_INVDATAREAD},
        {"name outside the pool", [](std::vector<BYTE>& b, size_t) { PutU32(&b[kHeaderName], 0x7FFFFFFF); }, 0, TYPE_E_INVDATAREAD},
        {"pool text without terminator", [](std::vector<BYTE>& b, size_t) { b.back() = 'x'; }, 0, TYPE_E_INVDATAREAD},
        {"unknown type kind", [](std::vector<BYTE>& b, size_t at) { PutU16(&b[at + kTypeKind], 9); }, types, TYPE_E_INVDATAREAD},
        {"members beyond the table", [](std::vector<BYTE>& b, size_t at) { PutU32(&b[at + kTypeSize + kTypeMemberCount], 500); }, types, TYPE_E_INVDATAREAD},
        {"parameters beyond the table", [](std::vector<BYTE>& b, size_t at) { PutU32(&b[at + kFunctionFirstParameter], 0xFFFFFFF0); }, functions, TYPE_E_INVDATAREAD},
        {"reference to a missing type", [](std::vector<BYTE>& b, size_t at) {
             PutU16(&b[at + kParameterVt], VT_USERDEFINED);
             PutU16(&b[at + kParameterRefType], 77);
         }, parameters, TYPE_E_INVDATAREAD},
        {"unknown invoke kind", [](std::vector<BYTE>& b, size_t at) { PutU16(&b[at + kFunctionInvokeKind], 3); }, functions, TYPE_E_INVDATAREAD},
        {"class implementing an enumeration", [](std::vector<BYTE>& b, size_t at) { PutU16(&b[at + kImplType], 0); }, impls, TYPE_E_INVDATAREAD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> bytes = good;
        c.damage(bytes, c.at);
        ITypeLib* lib = reinterpret_cast<ITypeLib*>(1);
        EXPECT_EQ(yolt::LoadTypeLibFromMemory(bytes.data(), bytes.size(), &lib), c.expected);
        EXPECT_EQ(lib, nullptr);
    }
}

}  // namespace
