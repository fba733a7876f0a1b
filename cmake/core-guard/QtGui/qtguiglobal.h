#error "The core library must not use QtGui: it links Qt Core and ICU only."
