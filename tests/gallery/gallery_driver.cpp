// gallery_driver.exe DIR PROGRAM [ARGS...]: walks the bundled example's
// windows as a user would and asks for a picture of each one on the way.
// For each picture it writes DIR/NN-name.request holding the window's
// screen rectangle ("x y width height") and waits for DIR/NN-name.png,
// which scripts/gallery.sh takes with ImageMagick's import.
#include <windows.h>

#include <cstdio>
#include <string>

#include "robot.h"

namespace {

const DWORD kWaitMs = 30000;

class Gallery {
 public:
  Gallery(std::string dir, robot::Session& session) : dir_(dir), session_(session) {}

  // Asks for a picture of `window` and waits until it is taken.
  void Picture(HWND window, const char* name) {
    Sleep(300);  // the window has painted
    RECT box;
    GetWindowRect(window, &box);
    char base[MAX_PATH];
    snprintf(base, sizeof base, "%s\\%02d-%s", dir_.c_str(), ++count_, name);
    std::string png = std::string(base) + ".png";
    FILE* request = fopen((std::string(base) + ".request").c_str(), "w");
    if (!request) return;
    fprintf(request, "%ld %ld %ld %ld\n", box.left, box.top, box.right - box.left,
            box.bottom - box.top);
    fclose(request);
    robot::PollUntil(kWaitMs,
                     [&] { return GetFileAttributesA(png.c_str()) != INVALID_FILE_ATTRIBUTES; });
    printf("picture: %s\n", png.c_str());
    fflush(stdout);
  }

  // Waits for the dialog holding `controlId`, and takes its picture when
  // it is given a name.
  HWND Dialog(int controlId, const char* picture = nullptr) {
    HWND dialog = nullptr;
    if (!session_.WaitForDialog(controlId, kWaitMs, &dialog)) {
      printf("missing: the dialog with control %d\n", controlId);
      fflush(stdout);
    } else if (picture != nullptr) {
      Picture(dialog, picture);
    }
    return dialog;
  }

  void Box(const char* name) {
    robot::MessageBoxInfo box;
    if (!session_.WaitForMessageBox(&box, kWaitMs)) return;
    Picture(box.hwnd, name);
    session_.Press(box, box.buttons.empty() ? IDOK : box.buttons[0]);
  }

 private:
  std::string dir_;
  robot::Session& session_;
  int count_ = 0;
};

void WalkTheExample(Gallery& gallery) {
  HWND intro = gallery.Dialog(IDC_DESTINATION, "intro-page");
  if (!intro) return;
  robot::ClickButton(intro, IDC_CHANGE_DESTINATION, kWaitMs);
  HWND chooser = gallery.Dialog(IDC_FOLDER_TREE, "directory-chooser");
  if (!chooser) return;
  robot::ExpandTreeItem(chooser, IDC_FOLDER_TREE, "c:", kWaitMs);
  robot::SelectTreeItem(chooser, IDC_FOLDER_TREE, "c:\\Program Files", kWaitMs);
  gallery.Picture(chooser, "directory-chooser-folder");
  robot::ClickButton(chooser, IDC_NEW_FOLDER, kWaitMs);
  HWND prompt = gallery.Dialog(IDC_NEW_FOLDER_NAME);
  if (!prompt) return;
  robot::TypeText(prompt, IDC_NEW_FOLDER_NAME, "Vorn");
  gallery.Picture(prompt, "new-folder-prompt");
  robot::ClickButton(prompt, IDOK, kWaitMs);
  gallery.Picture(chooser, "directory-chooser-new-folder");
  robot::ClickButton(chooser, IDOK, kWaitMs);
  gallery.Picture(intro, "intro-page-changed");
  robot::ClickButton(intro, IDOK, kWaitMs);
  HWND licence = gallery.Dialog(IDC_LICENCE_TEXT, "licence");
  if (!licence) return;
  robot::ClickButton(licence, IDOK, kWaitMs);
  HWND types = gallery.Dialog(IDC_SETUP_TYPES);
  if (!types) return;
  robot::SelectListItem(types, IDC_SETUP_TYPES, 2, kWaitMs);
  gallery.Picture(types, "setup-type");
  robot::ClickButton(types, IDOK, kWaitMs);
  HWND smtp = gallery.Dialog(IDC_SMTP_SERVER, "smtp-server");
  if (!smtp) return;
  robot::ClickButton(smtp, IDOK, kWaitMs);
  gallery.Box("installed-box");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: gallery_driver.exe DIR PROGRAM [ARGS...]\n");
    return 2;
  }
  std::string args;
  for (int i = 3; i < argc; ++i) args += std::string(i > 3 ? " " : "") + argv[i];
  robot::Session session;
  if (!session.Start(argv[2], args, "")) return 2;
  Gallery gallery(argv[1], session);
  WalkTheExample(gallery);
  int exitCode = 0;
  session.WaitForExit(kWaitMs, &exitCode);
  printf("exit: %d\n", exitCode);
  return 0;
}
