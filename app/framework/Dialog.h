// CDialog stand-in: a dialog built from a template resource, with one dialog procedure that
// hands each message to named virtual hooks, and the template's list data applied before
// the dialog's own initialisation.
#pragma once

#include <windows.h>

#include <string>

namespace quenlow {

class CDialog {
 public:
  CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog();

  // Runs the dialog modally; returns IDOK, IDCANCEL, or -1 when it cannot be created.
  INT_PTR DoModal();
  // Creates the dialog without a modal loop of its own (the caller pumps messages).
  HWND Create();

  HWND GetSafeHwnd() const { return m_hWnd; }
  HWND GetDlgItem(int id) const { return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr; }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Return true when handled.
  virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
  // Return true when handled; `result` becomes the message's result.
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  // Any other message; return true when handled, with the value the dialog procedure returns.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, INT_PTR& /*result*/) { return false; }

  void EndDialog(int result);
  // Centres the dialog over its visible owner, or else on its screen's work area.
  void CenterWindow();
  // The module whose resources the dialog is built from: the one this code is linked into.
  static HINSTANCE ResourceModule();

  HWND m_hWnd = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Shows an exception that reached the dialog procedure; the dialog stays open.
  static void ReportException(HWND hwnd, const std::wstring& text) noexcept;
  void ExecuteDlgInit();

  UINT m_templateId;
  HWND m_parent;
};

}  // namespace quenlow
