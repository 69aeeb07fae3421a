// Every QtWidgets header includes this one first. The core library puts this
// folder ahead of Qt's own include path, so a widget include in core fails to
// build instead of silently pulling the widget module into headless code.
#error "lumacresta_core must not include QtWidgets headers; move the code to lumacresta_gui"
