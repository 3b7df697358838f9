// MainDialog: the program's one window. A 496x378 skinned face with an LED-style display naming
// the attached player, five buttons that are hot rectangles of the face, a drag strip along the
// top, a version label and an About item in the system menu. It owns the detector and the
// pending firmware package, watches for a player every two seconds and runs the button actions.
#pragma once

#include "component/contract/kvxrdtct.h"
#include "utility/skin_dialog.h"

class MainDialog : public SkinDialog {
public:
    /// Hot rectangle indexes, in the order they are tested.
    enum HotIndex { HotClose = 0, HotLeft = 1, HotMiddle = 2, HotRight = 3, HotMinimise = 4, HotCount = 5 };
    static constexpr int kPressedCount = 4;  // close, left, middle and right have pressed images
    static constexpr UINT kAboutCommand = 16;
    static constexpr UINT_PTR kWatchTimer = 1;
    static constexpr UINT kWatchPeriodMs = 2000;

    /// Dialog template 102; loads the program icon. The detector is created by OnInitDialog.
    explicit MainDialog(CWnd* parent = nullptr);
    /// Frees the pending path, releases the detector and deletes the images.
    ~MainDialog() override;

    /// Makes `package` (owned by the window from now on) the pending firmware package; a null
    /// or empty string means none.
    void SetPendingPackage(BSTR package);
    /// Creates the detector, confirms a pending package, then sets the window up; ends the
    /// dialog and returns FALSE when the detector cannot be created or the user declines.
    BOOL OnInitDialog() override;

    /// Shows the background picture of m_nModel and redraws the window at once.
    void UpdateModelDisplay();
    /// Writes a firmware package onto the player and ejects it: nonzero on success, 0 when the
    /// file dialog was cancelled or a step failed (reported).
    BOOL UpgradeFirmware();
    /// From a tick: installs the pending package once, unless a flow is running.
    void StartPendingPackage();
    /// Opens the system's format dialog for the player's drive: 0 when a step before the dialog
    /// failed (reported), 1 when formatting is skipped by the size rule, else the driver's result.
    int FormatPlayer();
    /// Writes the recovery package onto the player and ejects it: nonzero on success, 0 otherwise
    /// (reported).
    BOOL RecoverPlayer();
    /// Rebuilds the player's playlists: 1 when a player was found and the scan ran, 0 when no
    /// player was found, a device call failed (nothing shown) or the scan failed (reported).
    int ScanMediaFiles();

    KVXRModelType Model() const { return m_nModel; }
    BSTR PendingPackage() const { return m_bstrPendingPackage; }
    bool IsBusy() const { return m_bBusy; }
    static const RECT& HotRect(int index);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnSysCommand(UINT id, LPARAM param);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnDestroy();

    CBitmap m_bmpPressed[kPressedCount];
    RECT m_rcHot[HotCount]{};
    UINT_PTR m_nTimerID = 0;
    KVXRModelType m_nModel = eMODEL_Unknown;
    IKVXRDetect* m_pDetector = nullptr;
    BSTR m_bstrPendingPackage = nullptr;
    HCURSOR m_hHandCursor = nullptr;
    HCURSOR m_hArrowCursor = nullptr;
    HICON m_hIcon = nullptr;
    int m_nLastHot = -1;  // the hot rectangle under the pointer at the last move, -1 for none
    // Set for the whole run of a flow or button action, so that a tick that comes meanwhile
    // (message boxes and dialogs keep timers ticking) never starts a second flow.
    bool m_bBusy = false;

    DECLARE_MESSAGE_MAP()

private:
    // Sets the busy flag for a scope and puts the previous value back.
    class BusyScope {
    public:
        explicit BusyScope(bool& flag) : m_flag(flag), m_previous(flag) { m_flag = true; }
        ~BusyScope() { m_flag = m_previous; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        bool& m_flag;
        bool m_previous;
    };

    BOOL CreateDetector();
    BOOL ConfirmPendingPackage();
    // Runs the action of hot rectangle `index`.
    void RunButtonAction(int index);
    // Asks an OK/Cancel question; true when the answer is OK.
    bool Confirm(const char* question);
    void ShowResult(const char* text);
    void ShowError(const char* text);
    // Shows an error text with one HRESULT in it.
    void ShowErrorCode(const char* format, HRESULT hr);
    // The attached player's device object (one reference for the caller), or null with the
    // HRESULT of the failed step in `failure` (0 when no player is attached).
    IKVXRDevice* AttachedDevice(HRESULT& failure);
};
