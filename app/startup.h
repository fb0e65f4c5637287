// Start-up of the program: the program directory becomes the current
// directory, the event dispatcher is installed for text extraction, and the
// main window is made, prepared and shown. A window that cannot be made is
// reported in a message box ("载入启动窗口失败") and gives no window.
#pragma once

class MainWindow;

// The shown window, owned by the toolkit; nullptr when it could not be made.
MainWindow* StartProgram();
