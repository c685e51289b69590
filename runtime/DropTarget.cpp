#include "runtime/DropTarget.h"

#include "runtime/Control.h"

#include <algorithm>
#include <string_view>

namespace rt {

namespace {

// The formats offered and the Unicode text, read within the text's own memory.
DropData Describe(IDataObject* data)
{
    DropData out;
    IEnumFORMATETC* formats = nullptr;
    if (data && SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &formats)) && formats) {
        FORMATETC f{};
        while (formats->Next(1, &f, nullptr) == S_OK) {
            if (f.ptd)
                CoTaskMemFree(f.ptd);
            if (!out.GetFormat(f.cfFormat))
                out.formats.push_back(f.cfFormat);
        }
        formats->Release();
    }
    FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (out.GetFormat(CF_UNICODETEXT) && SUCCEEDED(data->GetData(&text, &medium))) {
        if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
            const SIZE_T size = GlobalSize(medium.hGlobal);
            if (const auto* at = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
                // A text without its terminating NUL ends with its memory.
                const std::wstring_view all(at, size / sizeof(wchar_t));
                out.text = all.substr(0, all.find(L'\0'));
                GlobalUnlock(medium.hGlobal);
            }
        }
        ReleaseStgMedium(&medium);
    }
    return out;
}

DragStep StepAt(HWND hwnd, DWORD keys, POINTL at, DWORD effect)
{
    DragStep step;
    step.effect = static_cast<int>(effect);
    step.button = ButtonsFromMouseFlags(keys);
    step.shift = ShiftFromMouseFlags(keys);
    step.client = POINT{at.x, at.y};
    ScreenToClient(hwnd, &step.client);
    return step;
}

// A target may take only an effect the source allows.
DWORD Taken(const DragStep& step, DWORD allowed) { return static_cast<DWORD>(step.effect) & allowed; }

} // namespace

bool DropData::GetFormat(CLIPFORMAT format) const
{
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// The COM object the system holds; it outlives its owner while a drag still holds it, and then
// answers every call with "no drop".
class DropTarget::Sink final : public IDropTarget {
public:
    explicit Sink(DropTarget& owner, HWND hwnd) : owner_(&owner), hwnd_(hwnd) {}

    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        described_ = Describe(data);
        return Over(keys, at, effect, vbEnter);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        return Over(keys, at, effect, vbOver);
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        POINT cursor{};
        GetCursorPos(&cursor);
        DragStep step = StepAt(hwnd_, 0, POINTL{cursor.x, cursor.y}, DROPEFFECT_NONE);
        if (owner_ && owner_->over_)
            owner_->over_(described_, step, vbLeave);
        described_ = {};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        described_ = {};
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        if (!owner_ || !owner_->drop_)
            return S_OK;
        DropData described = Describe(data);
        DragStep step = StepAt(hwnd_, keys, at, allowed);
        owner_->drop_(data, described, step);
        *effect = Taken(step, allowed);
        return S_OK;
    }

private:
    ~Sink() = default;

    HRESULT Over(DWORD keys, POINTL at, DWORD* effect, int state)
    {
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        if (!owner_ || !owner_->over_)
            return S_OK;
        DragStep step = StepAt(hwnd_, keys, at, allowed);
        owner_->over_(described_, step, state);
        *effect = Taken(step, allowed);
        return S_OK;
    }

    LONG refs_ = 1;
    DropTarget* owner_;
    HWND hwnd_;
    // What the drag offers, read at its enter: the moves over the window do not carry it.
    DropData described_;
};

DropTarget::DropTarget(OverHandler over, DropHandler drop) : over_(std::move(over)), drop_(std::move(drop)) {}

DropTarget::~DropTarget() { Revoke(); }

bool DropTarget::Register(HWND hwnd)
{
    if (hwnd_ == hwnd)
        return true;
    Revoke();
    if (!hwnd)
        return false;
    // RegisterDragDrop needs OLE on this thread; S_FALSE (already entered) is balanced too.
    if (FAILED(OleInitialize(nullptr)))
        return false;
    oleEntered_ = true;
    sink_ = new Sink(*this, hwnd);
    if (FAILED(RegisterDragDrop(hwnd, sink_))) {
        Revoke();
        return false;
    }
    hwnd_ = hwnd;
    return true;
}

void DropTarget::Revoke()
{
    if (hwnd_)
        RevokeDragDrop(hwnd_);
    hwnd_ = nullptr;
    if (sink_) {
        sink_->Detach();
        sink_->Release();
        sink_ = nullptr;
    }
    if (oleEntered_) {
        oleEntered_ = false;
        OleUninitialize();
    }
}

} // namespace rt
