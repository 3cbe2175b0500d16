#include "platform/ui/singledoctemplate.h"

#include "platform/msgbox/messagebox.h"
#include "platform/ui/document.h"
#include "platform/ui/framewnd.h"
#include "platform/ui/winapp.h"

CSingleDocTemplate::CSingleDocTemplate(unsigned id, const CRuntimeClass* docClass, const CRuntimeClass* frame,
                                       const CRuntimeClass* view)
    : resourceId(id), documentClass(docClass), frameClass(frame), viewClass(view) {}

// The frame and its view live until the process ends; the template owns only the document.
CSingleDocTemplate::~CSingleDocTemplate() = default;

CDocument* CSingleDocTemplate::CreateNewDocument() {
    if (documentClass == nullptr) {
        return nullptr;
    }
    return static_cast<CDocument*>(documentClass->createObject());
}

CFrameWnd* CSingleDocTemplate::CreateNewFrame(CDocument* doc) {
    if (frameClass == nullptr) {
        return nullptr;
    }
    auto* frame = static_cast<CFrameWnd*>(frameClass->createObject());
    CCreateContext context;
    context.newViewClass = viewClass;
    context.currentDoc = doc;
    if (!frame->LoadFrame(resourceId, 0, nullptr, &context)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

void CSingleDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) {
    frame->InitialUpdateFrame(doc, makeVisible);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char16_t*, bool makeVisible) {
    CDocument* doc = CreateNewDocument();
    if (doc == nullptr) {
        ReportFailure();
        return nullptr;
    }
    CFrameWnd* frame = CreateNewFrame(doc);
    if (frame == nullptr) {
        ReportFailure();
        delete doc;
        return nullptr;
    }
    doc->SetTitle(u"Untitled");
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        delete frame;
        delete doc;
        return nullptr;
    }
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->mainWnd == nullptr) {
        app->mainWnd = frame;
    }
    document.reset(doc);
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}

void CSingleDocTemplate::ReportFailure() {
    CWinApp* app = AfxGetApp();
    ShowMessageBox(nullptr, u"Failed to create empty document.", app != nullptr ? app->appName.c_str() : u"",
                   MB_OK | MB_ICONEXCLAMATION);
}
