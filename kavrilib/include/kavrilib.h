// The application framework: page toolkit (styles, widgets, page classes,
// shared images, file download), application object and request handlers.
#pragma once

#include "htmllib.h"
#include "dblib.h"
#include "versitlib.h"
#include "commonlib.h"
#include "utillib.h"

// Page toolkit.
#include "KvFrameSetStyle.h"
#include "KvPageStyle.h"
#include "KvStyle.h"
#include "KvTable.h"
#include "KvPersonGroupTable.h"
#include "KvInput.h"
#include "KvTextArea.h"
#include "KvSelect.h"
#include "KvForm.h"
#include "KvImage.h"
#include "KvLabel.h"
#include "KvIndentObject.h"
#include "KvImageButton.h"
#include "KvPersonLink.h"
#include "KvGroupLink.h"
#include "KvDocumentLink.h"
#include "JavaScriptUrl.h"
#include "ConfirmUrl.h"
#include "HotlistUrl.h"
#include "EmailUrl.h"
#include "KvWindow.h"
#include "KvPage.h"
#include "KvFrameSetPage.h"
#include "KvAppNavbar.h"
#include "KvTopNavbar.h"
#include "KvStreamPage.h"
#include "CallbackContext.h"
#include "KvSharedImages.h"
#include "KvStreamFile.h"

// Application object, request handlers, login and routing (below).
