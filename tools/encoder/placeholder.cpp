namespace quillet {}
