#pragma once

#include <Framekit/Resources/CTQ3DVisualRes.h>
#include <Framekit/Resources/CTQLocalResourceDatabase.h>
#include <Framekit/Resources/CTQMeshVisualRes.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceClassDatabase.h>
#include <Framekit/Resources/CTQResourceDatabase.h>
#include <Framekit/Resources/CTQResourceFactory.h>
#include <Framekit/Resources/CTQResourceRef.h>
