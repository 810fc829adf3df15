// frmAbout: the about box, caption "About <product>".
#pragma once

#include "widgets/Dialog.h"

#include <vector>

class QLabel;
class SkinLabel;
struct WindowContext;

// frmAbout, the about box ("About <product>"): the product's name, version, publisher and web
// address under a header picture. It has no buttons; its close box or Esc closes it.
class frmAbout : public Dialog
{
    Q_OBJECT

public:
    explicit frmAbout(WindowContext &context);

    // Fills the labels from the version information; with skinning on, gives
    // every plain label a skin-label twin and skins the box.
    void formLoad();

private:
    // Loads a new element of SkinLabel1 at the next index.
    SkinLabel *loadSkinLabel1();
    void makeSkinTwins();

    WindowContext &m_context;

    // Controls in their tab order.
    QLabel *Label2 = nullptr; // "Version:"
    QLabel *Label3 = nullptr; // "Owned By:"
    QLabel *Label4 = nullptr; // "Website:"
    QLabel *Picture1 = nullptr; // the header picture
    SkinLabel *lblVersion = nullptr;
    SkinLabel *lblCompany = nullptr;
    SkinLabel *lblWebsite = nullptr;
    SkinLabel *Label1 = nullptr; // the product name
    QLabel *Label5 = nullptr; // the copyright notice, below the client area
    // Element 0 is a hidden template; twins are loaded after it.
    std::vector<SkinLabel *> SkinLabel1;
};
