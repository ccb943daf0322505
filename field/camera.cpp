#include "field/camera.h"

CameraShake gCameraShake;
Matrix4 gYawMatrix = matrixIdentity();
Matrix4 gBillboardMatrix = matrixIdentity();
