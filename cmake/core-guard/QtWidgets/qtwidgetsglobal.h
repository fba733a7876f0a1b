#error "The core library must not use QtWidgets: it links Qt Core and ICU only."
