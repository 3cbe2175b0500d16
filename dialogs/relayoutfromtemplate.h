#pragma once

#include "platform/resources/resourcemodule.h"

class CDialog;

// Puts every control of the live dialog back where the dialog template from the module places it
// (dialog units of the dialog's own font), all moved at once, and restores what the template says
// a control shows: the text of a static or button given as a string, the image of a static bitmap
// or icon (an image that cannot be loaded is kept), the selection of a list or combo box.
// 0 on success; -1 when the template cannot be had (nothing is moved) or a step failed.
int RelayoutFromTemplate(const ResourceModule& module, CDialog* dialog, unsigned templateId);
