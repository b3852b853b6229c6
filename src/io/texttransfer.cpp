#include "io/texttransfer.h"

#include "window/commondialog.h"
#include "window/services.h"
#include "window/windowaccess.h"

void TextTransfer::importText() {}

void TextTransfer::exportText() {}

void TextTransfer::exportHtml() {}
