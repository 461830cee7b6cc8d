#ifndef ZYRAPP_COMMUNICATIONERROR_H
#define ZYRAPP_COMMUNICATIONERROR_H

// Tells the user a communication error code in a critical message box without parent.
void showCommunicationError(int code);

#endif // ZYRAPP_COMMUNICATIONERROR_H
