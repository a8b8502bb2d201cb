# Native targets of the text capture logic.
