#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

#include "edit/Host.h"

class QDialog;
class QFileDialog;
class QPrintDialog;
class QPrinter;
class QMenu;
class QWidget;

namespace fw {

// The editor's modal questions answered with Qt: message boxes, file dialogs, the About box and
// the two pop-up menus of the toolbar.
class QtHost : public Host {
 public:
  explicit QtHost(QWidget* window);
  ~QtHost() override;

  void showError(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  bool askConfirmation(const std::string& text) override;
  bool askText(const std::string& caption, const std::string& prompt, std::string& answer) override;
  std::string chooseOpenFile(const FileDialogRequest& request) override;
  std::string chooseSaveFile(const FileDialogRequest& request) override;
  std::string chooseFolder(const FileDialogRequest& request) override;
  // The Frame Size, Text Options, Print Board and Information dialogs, shown modally over the
  // main window.
  bool editFrameSize(int& width, int& height) override;
  bool editTextOptions(std::string& text, int& size) override;
  bool askPrintSettings(PrintSettings& settings) override;
  // The Export Gerber dialog, starting from the choice last exported with (kept in the user's
  // settings) and remembering the one confirmed now.
  bool askGerberExport(GerberExportChoice& choice) override;
  void showInformation(const InfoCounts& counts) override;
  // The Check Board dialog; the rules it closes with are remembered in the user's settings.
  void showCheckBoard(CheckBoardSession& session) override;
  void showAbout() override;
  bool printBoard(const Board& board, const PrintSettings& settings, int zoomLevel,
                  const std::string& suggestedPdf, std::string& error) override;
  void showPrintSetup(const std::string& suggestedPdf) override;
  void showLineMethodsMenu() override;
  void showDotMethodsMenu() override;

  // Shows a board change made while a dialog is open (a finding chosen in Check Board).
  void setBoardChanged(std::function<void()> changed) { boardChanged_ = std::move(changed); }
  // The Check Board rules kept in the user's settings (organisation and application
  // "Ferrowrit"); a missing or unusable value leaves the one `rules` had.
  static void loadCheckRules(CheckRules& rules);
  static void storeCheckRules(const CheckRules& rules);
  // Edit > Drag Connected Tracks, as the user left it (off the first time).
  static bool loadDragConnectedTracks();
  static void storeDragConnectedTracks(bool on);

  // The widgets the host shows; the main window creates them and hands them over.
  void setAboutBox(QDialog* about) { about_ = about; }
  void setLineMethodsMenu(QMenu* menu, QWidget* button);
  void setDotMethodsMenu(QMenu* menu, QWidget* button);

  // The size file and folder dialogs open at: the board stays in sight around them.
  static constexpr QSize kFileDialogSize{560, 380};
  // Qt's own file dialog at kFileDialogSize instead of the desktop's (see QtHost.cpp).
  static void keepBoardInSight(QFileDialog& dialog);

  // Turns a filter written as "Projects (*.kvd)|*.kvd" (description and pattern pairs) into
  // Qt's form "Projects (*.kvd)"; a filter already in Qt's form is kept.
  static QString qtFilter(const std::string& filter);

 private:
  std::string runFileDialog(const FileDialogRequest& request, bool save);
  static void offerPdfName(QPrintDialog& dialog, const QPrinter& printer,
                           const std::string& suggestedPdf);
  // Opens a pop-up menu right-aligned below its button, without waiting for a choice.
  static void popUpBelow(QMenu* menu, QWidget* button);

  QWidget* window_;
  std::function<void()> boardChanged_;
  // The printer and paper chosen in Print Setup, kept until the program ends.
  std::unique_ptr<QPrinter> printer_;
  QPointer<QDialog> about_;
  QPointer<QMenu> lineMethodsMenu_;
  QPointer<QWidget> lineMethodsButton_;
  QPointer<QMenu> dotMethodsMenu_;
  QPointer<QWidget> dotMethodsButton_;
};

}  // namespace fw
