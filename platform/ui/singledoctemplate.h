#pragma once

#include "platform/ui/cmdtarget.h"
#include "platform/ui/runtimeclass.h"

#include <memory>

class CDocument;
class CFrameWnd;

// Ties one document class, one frame class and one view class together on a resource identifier
// (the frame's title string, icon and accelerators). It makes the one document of the program.
class CSingleDocTemplate : public CCmdTarget {
public:
    CSingleDocTemplate(unsigned resourceId, const CRuntimeClass* documentClass, const CRuntimeClass* frameClass,
                       const CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;

    // A new document (path null): the document, then the frame with its view, then the document's
    // new-document step; the frame becomes the main window; then the frame's initial update. On a
    // failure the user is told "Failed to create empty document." and null comes back.
    CDocument* OpenDocumentFile(const char16_t* path, bool makeVisible = true);

    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* document);
    void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, bool makeVisible = true);

    unsigned ResourceId() const { return resourceId; }
    CDocument* Document() const { return document.get(); }

private:
    void ReportFailure();

    unsigned resourceId;
    const CRuntimeClass* documentClass;
    const CRuntimeClass* frameClass;
    const CRuntimeClass* viewClass;
    // The one document; it lives as long as the template (the application object's).
    std::unique_ptr<CDocument> document;
};
