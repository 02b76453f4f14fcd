#include "win32/MainWindow.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "app/Messages.h"
#include "app/MonitorMain.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"
#include "win32/UiFont.h"

namespace monitor::win32 {
namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kTrayId = 1;
constexpr int kWidth = 504;
constexpr int kHeight = 335;
constexpr RECT kCloseButton{452, 15, 452 + 23, 15 + 21};
constexpr RECT kOkButton{213, 285, 213 + 80, 285 + 27};

// The look of the About window.
constexpr COLORREF kBackgroundTop = RGB(0x24, 0x28, 0x30);
constexpr COLORREF kBackgroundBottom = RGB(0x14, 0x16, 0x1B);
constexpr COLORREF kAccent = RGB(0x2F, 0x8C, 0xFF);
constexpr COLORREF kTitleText = RGB(0xF2, 0xF4, 0xF7);
constexpr COLORREF kBodyText = RGB(0xB8, 0xC0, 0xCC);

bool Contains(const RECT& rect, POINT point) { return PtInRect(&rect, point) != FALSE; }

// A small mouse on a blue disc, drawn once: the tray icon.
HICON MakeTrayIcon() {
  constexpr int kSize = 32;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = kSize;
  header.bV5Height = -kSize;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color =
      CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (color == nullptr) {
    return LoadIconW(nullptr, IDI_APPLICATION);
  }
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double dx = x - 15.5;
      const double dy = y - 15.5;
      std::uint32_t pixel = 0;
      if (dx * dx + dy * dy <= 15.5 * 15.5) {
        pixel = 0xFF2F8CFF;  // disc
        const double mx = dx / 7.0;
        const double my = (dy + 1.0) / 10.5;
        if (mx * mx + my * my <= 1.0) {
          pixel =
              (y < 13 && (x == 15 || x == 16)) ? 0xFF2F8CFF : 0xFFF2F4F7;  // the mouse, split by its buttons
        }
      }
      pixels[y * kSize + x] = pixel;
    }
  }
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(color);
  return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

// A component of the window as translation walks it: the form itself, a
// label, a button or a menu item, with its caption.
class MainWindow::Component final : public TranslatableComponent {
 public:
  Component(std::u16string className, std::u16string name, ComponentKind kind, Component* owner,
            std::optional<std::u16string> caption)
      : className_(std::move(className)),
        name_(std::move(name)),
        kind_(kind),
        owner_(owner),
        caption_(caption) {}

  std::u16string ClassName() const override { return className_; }
  std::u16string Name() const override { return name_; }
  ComponentKind Kind() const override { return kind_; }
  TranslatableComponent* Owner() const override { return owner_; }
  std::vector<TranslatableComponent*> Components() const override { return children_; }
  std::optional<std::u16string> Text(std::u16string_view property) const override {
    return property == kCaptionProperty ? caption_ : std::nullopt;
  }
  void SetText(std::u16string_view property, std::u16string_view text) override {
    if (property == kCaptionProperty && caption_) {
      caption_ = std::u16string(text);
      if (onChange) {
        onChange();
      }
    }
  }

  void Own(Component* child) { children_.push_back(child); }
  [[nodiscard]] std::wstring Caption() const { return ToWide(caption_.value_or(u"")); }
  std::function<void()> onChange;

 private:
  std::u16string className_;
  std::u16string name_;
  ComponentKind kind_;
  Component* owner_;
  std::optional<std::u16string> caption_;
  std::vector<TranslatableComponent*> children_;
};

MainWindow::MainWindow(HINSTANCE instance, Win32MainLoop& mainLoop) : mainLoop_(mainLoop) {
  const std::wstring className = ToWide(kMonitorWindowClass);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className.c_str();
  RegisterClassExW(&windowClass);

  form_ = std::make_unique<Component>(u"TZelMonExMain3", u"ZelMonExMain3", ComponentKind::Form, nullptr,
                                      std::nullopt);
  // The About window's texts live in a scene, which translation keeps in
  // step with the active table, back and forth between languages.
  scene_ =
      std::make_unique<Component>(u"TvgScene", u"vgScene1", ComponentKind::Scene, form_.get(), std::nullopt);
  form_->Own(scene_.get());
  const auto add = [this](Component* owner, std::u16string componentClass, std::u16string name,
                          std::optional<std::u16string> caption) {
    auto& component = components_.emplace_back(std::make_unique<Component>(
        std::move(componentClass), std::move(name), ComponentKind::Component, owner, std::move(caption)));
    component->onChange = [this] {
      if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, FALSE);
      }
    };
    owner->Own(component.get());
    return component.get();
  };
  add(scene_.get(), u"TxaPicButton", u"BtnClose", std::nullopt);
  buttonOk_ = add(scene_.get(), u"TxaPicButton", u"BtnOK", u"OK");
  label1_ = add(scene_.get(), u"TvgLabel", u"Label1", u"Hardware & Software Information:");
  label2_ = add(scene_.get(), u"TvgLabel", u"Label2", u"Hardware Core:1.00.00");
  label3_ = add(scene_.get(), u"TvgLabel", u"Label3", u"Software Core:1.00.00");
  // The menu's captions are set by the logic; translation walks past them.
  add(form_.get(), u"TMenuItem", u"Config1", u"Config");
  add(form_.get(), u"TMenuItem", u"About1", u"About");
  add(form_.get(), u"TMenuItem", u"Exit1", u"Exit");

  // Borderless, never in the taskbar; shown only as the About window.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, className.c_str(), ToWide(kMonitorWindowCaption).c_str(),
                            WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, instance, this);
  if (window_ == nullptr) {
    throw PlatformError("cannot create the main window", GetLastError());
  }
  menu_ = CreatePopupMenu();
  AppendMenuW(menu_, MF_STRING, kMenuConfig, L"Config");
  AppendMenuW(menu_, MF_STRING, kMenuAbout, L"About");
  AppendMenuW(menu_, MF_STRING, kMenuExit, L"Exit");
  icon_ = MakeTrayIcon();
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  AddTrayIcon();
}

MainWindow::~MainWindow() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  DestroyMenu(menu_);
  DestroyIcon(icon_);
  DestroyWindow(window_);
}

TranslatableComponent& MainWindow::Form() { return *form_; }

TranslatableComponent& MainWindow::Scene() { return *scene_; }

void MainWindow::AddTrayIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallback;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, trayHint_.c_str(), static_cast<int>(std::size(data.szTip)));
  Shell_NotifyIconW(NIM_ADD, &data);
}

void MainWindow::SetTrayHint(std::u16string_view hint) {
  trayHint_ = ToWide(hint);
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayId;
  data.uFlags = NIF_TIP;
  lstrcpynW(data.szTip, trayHint_.c_str(), static_cast<int>(std::size(data.szTip)));
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void MainWindow::SetApplicationTitle(std::u16string_view title) { applicationTitle_ = ToWide(title); }

void MainWindow::SetMenuCaption(int position, std::u16string_view caption) {
  const std::wstring text = ToWide(caption);
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING;
  item.dwTypeData = const_cast<wchar_t*>(text.c_str());
  SetMenuItemInfoW(menu_, static_cast<UINT>(position), TRUE, &item);
}

void MainWindow::ShowMainWindow() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - kWidth) / 2;
  const int top = work.top + (work.bottom - work.top - kHeight) / 2;
  SetWindowPos(window_, HWND_TOP, left, top, kWidth, kHeight, SWP_SHOWWINDOW);
}

void MainWindow::HideMainWindow() { ShowWindow(window_, SW_HIDE); }

void MainWindow::BringMainWindowToFront() { SetForegroundWindow(window_); }

void MainWindow::EndApplication() { mainLoop_.Quit(0); }

void MainWindow::PostToMainWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageW(window_, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (logic_ != nullptr && logic_->HandleMessage(message, wParam, lParam)) {
    return 0;
  }
  if (message == taskbarCreated_) {
    AddTrayIcon();  // the shell restarted: the icon comes back
    return 0;
  }
  switch (message) {
    case kTrayCallback:
      if (logic_ != nullptr && LOWORD(lParam) == WM_LBUTTONUP) {
        logic_->TrayIconDblClick();
      } else if (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_CONTEXTMENU) {
        ShowTrayMenu();
      }
      return 0;
    case WM_COMMAND:
      if (logic_ != nullptr) {
        switch (LOWORD(wParam)) {
          case kMenuConfig:
            logic_->Config1Click();
            return 0;
          case kMenuAbout:
            logic_->About1Click();
            return 0;
          case kMenuExit:
            logic_->Exit1Click();
            return 0;
          default:
            break;
        }
      }
      break;
    case WM_LBUTTONUP:
      Click({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_KEYDOWN:
      if (logic_ != nullptr && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        logic_->BtnOKClick();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      HideMainWindow();  // closing the About window never ends the monitor
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::ShowTrayMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  SetForegroundWindow(window_);  // so that the menu closes when the user clicks elsewhere
  TrackPopupMenu(menu_, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window_, nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
}

void MainWindow::Click(POINT point) {
  if (logic_ == nullptr) {
    return;
  }
  if (Contains(kCloseButton, point)) {
    logic_->BtnCloseClick();
  } else if (Contains(kOkButton, point)) {
    logic_->BtnOKClick();
  }
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window_, &paint);
  HDC dc = CreateCompatibleDC(target);
  HBITMAP canvas = CreateCompatibleBitmap(target, kWidth, kHeight);
  HGDIOBJ previousBitmap = SelectObject(dc, canvas);

  // Background: a quiet vertical gradient with an accent line at the top.
  TRIVERTEX vertices[2] = {{0, 0, static_cast<COLOR16>(GetRValue(kBackgroundTop) << 8),
                            static_cast<COLOR16>(GetGValue(kBackgroundTop) << 8),
                            static_cast<COLOR16>(GetBValue(kBackgroundTop) << 8), 0xFF00},
                           {kWidth, kHeight, static_cast<COLOR16>(GetRValue(kBackgroundBottom) << 8),
                            static_cast<COLOR16>(GetGValue(kBackgroundBottom) << 8),
                            static_cast<COLOR16>(GetBValue(kBackgroundBottom) << 8), 0xFF00}};
  GRADIENT_RECT gradient{0, 1};
  GradientFill(dc, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
  RECT accent{0, 0, kWidth, 4};
  HBRUSH accentBrush = CreateSolidBrush(kAccent);
  FillRect(dc, &accent, accentBrush);

  SetBkMode(dc, TRANSPARENT);
  const UiFont title(dc, 16, FW_BOLD);
  const UiFont body(dc, 13, FW_NORMAL);
  const UiFont button(dc, 11, FW_SEMIBOLD);

  SelectObject(dc, title.Handle());
  SetTextColor(dc, kTitleText);
  RECT line{36, 70, kWidth - 36, 110};
  std::wstring text = label1_->Caption();
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
            DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

  SelectObject(dc, body.Handle());
  SetTextColor(dc, kBodyText);
  for (const auto& [label, top] : {std::pair{label2_, 140}, std::pair{label3_, 180}}) {
    RECT row{36, top, kWidth - 36, top + 30};
    text = label->Caption();
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &row,
              DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }

  // The close cross and the OK button.
  HPEN crossPen = CreatePen(PS_SOLID, 2, kBodyText);
  HGDIOBJ previousPen = SelectObject(dc, crossPen);
  MoveToEx(dc, kCloseButton.left + 6, kCloseButton.top + 5, nullptr);
  LineTo(dc, kCloseButton.right - 6, kCloseButton.bottom - 5);
  MoveToEx(dc, kCloseButton.right - 6, kCloseButton.top + 5, nullptr);
  LineTo(dc, kCloseButton.left + 6, kCloseButton.bottom - 5);
  SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ previousBrush = SelectObject(dc, accentBrush);
  RoundRect(dc, kOkButton.left, kOkButton.top, kOkButton.right, kOkButton.bottom, 8, 8);
  SelectObject(dc, button.Handle());
  SetTextColor(dc, kTitleText);
  RECT okText = kOkButton;
  text = buttonOk_->Caption();
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &okText,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  BitBlt(target, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
  SelectObject(dc, previousBrush);
  SelectObject(dc, previousPen);
  SelectObject(dc, previousBitmap);
  DeleteObject(crossPen);
  DeleteObject(accentBrush);
  DeleteObject(canvas);
  DeleteDC(dc);
  EndPaint(window_, &paint);
}

}  // namespace monitor::win32
