#include "text_formats.h"

TextFormats& processTextFormats() {
    static TextFormats formats;
    return formats;
}
