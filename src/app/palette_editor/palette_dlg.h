// "Tarkemo - Palette bearbeiten": the modal palette editor. It shows the histogram of the image with
// the gray-value mapping drawn over it, previews the mapping through the image's colour table while
// it is edited, and changes the pixels only on "&Anwenden" (the dialog stays open). Closing or
// "Ab&brechen" puts the gray table back; the dialog's result is Accepted when "&Anwenden" was used.
#pragma once

#include <QDialog>
#include <map>

#include "app/palette_editor/palette_editor_host.h"
#include "app/palette_editor/palette_editor_state.h"

class QAction;
class QLineEdit;
class QPushButton;

namespace tarkemo::app {

class PaletteCanvas;

class PaletteDlg : public QDialog {
    Q_OBJECT

  public:
    // `range` is the program's colour range: it is read and changed here and outlives the dialog.
    PaletteDlg(PaletteEditorHost& host, ColourRange& range, QWidget* parent = nullptr);
    ~PaletteDlg() override;

    const PaletteEditorState& State() const { return state_; }
    // The client area holding the drawing square (mouse events go here) and the menu commands by id.
    QWidget& Canvas();
    QAction* Action(int id) const;
    QPushButton* Button(const QString& text) const;
    QLineEdit& ExponentField() const { return *exponent_; }
    // How often the editor beeped (an invalid exponent, a reversed range for "&Normalisieren").
    int BeepCount() const { return beeps_; }

    void Load();        // "&Laden..." and 40001
    void Save();        // "&Speichern..." and 40003
    void Normalise();   // "&Normalisieren"
    void Power();       // "&Potentiell" and Enter in the exponent field
    void Apply();       // "&Anwenden"
    void EnterRange();  // 40032
    void ClearRange();  // 40044

    // "Ab&brechen", Escape and closing: gray table back, result = applied.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenus();
    void BuildButtons();
    void Beep();
    void ExponentChanged();
    bool PlaceLoadedTable(const GrayLevels& table);

    PaletteEditorHost& host_;
    PaletteEditorState state_;
    PaletteCanvas* canvas_ = nullptr;
    QLineEdit* exponent_ = nullptr;
    QPushButton* powerButton_ = nullptr;
    std::map<int, QAction*> actions_;
    int beeps_ = 0;
};

}  // namespace tarkemo::app
