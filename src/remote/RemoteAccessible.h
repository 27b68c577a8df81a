#pragma once

class QAccessibleInterface;
class QWidget;
class RemoteControl;

// What a screen reader finds on the remote's picture: one pressable button per key of the
// layout, named as the key is read out ("Volume up"), with its keyboard key as description and
// shortcut. Pressing it through the accessibility interface presses the key once, as a click.
QAccessibleInterface *NewRemotePictureAccessible(QWidget &picture, RemoteControl &control);
