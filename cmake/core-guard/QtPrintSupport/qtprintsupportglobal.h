#error "The core library must not use QtPrintSupport: it links Qt Core and ICU only."
